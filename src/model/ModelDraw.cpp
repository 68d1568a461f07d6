// Drawing a posed model and its skeleton in immediate mode.
#include "model/Model.h"
#include <GL/gl.h>
#include <algorithm>

void clsMaterial::ApplyMaterial() const {
    glMaterialfv(GL_FRONT, GL_AMBIENT, Ambient);
    glMaterialfv(GL_FRONT, GL_DIFFUSE, Diffuse);
    glMaterialfv(GL_FRONT, GL_SPECULAR, Specular);
    glMaterialfv(GL_FRONT, GL_EMISSION, Emissive);
    // OpenGL refuses exponents outside 0..128 and would keep the previous material's, so
    // exported values such as 16384 are held at the nearest end.
    glMaterialf(GL_FRONT, GL_SHININESS, std::clamp(Shininess, 0.0f, 128.0f));
    if (Texture == 0) {
        glDisable(GL_TEXTURE_2D);
    } else {
        glBindTexture(GL_TEXTURE_2D, Texture);
        glEnable(GL_TEXTURE_2D);
    }
}

namespace {

// A model that failed to load may hold triangles read before the fault; those are not drawn.
bool TriangleInMesh(const clsTri& Triangle, const clsShape& Mesh) {
    for (int K = 0; K < 3; K++) {
        if (Triangle.VertexIndices[K] < 0 ||
            size_t(Triangle.VertexIndices[K]) >= Mesh.Vertices.size() ||
            Triangle.NormalIndices[K] < 0 ||
            size_t(Triangle.NormalIndices[K]) >= Mesh.Normals.size())
            return false;
    }
    return true;
}

} // namespace

void clsModel::DrawMesh(size_t Index) const {
    const int32_t Material = MeshMaterials[Index];
    if (Material >= 0 && size_t(Material) < Materials.size())
        Materials[size_t(Material)].ApplyMaterial();
    else
        glDisable(GL_TEXTURE_2D); // untextured, in whatever material was set last

    const clsShape& Mesh = Meshes[Index];
    glBegin(GL_TRIANGLES);
    for (const clsTri& Triangle : Mesh.Triangles) {
        if (!TriangleInMesh(Triangle, Mesh)) continue;
        for (int K = 0; K < 3; K++) {
            const clsNormal& Normal = Mesh.Normals[size_t(Triangle.NormalIndices[K])];
            const clsVec&    Vertex = Mesh.Vertices[size_t(Triangle.VertexIndices[K])];
            glNormal3f(Normal.X, Normal.Y, Normal.Z); // normals are not turned by the bones
            glTexCoord2f(Vertex.U, Vertex.V);
            if (Vertex.BoneIndex >= 0 && size_t(Vertex.BoneIndex) < Bones.size()) {
                const clsMatrix& Pose = Bones[size_t(Vertex.BoneIndex)].Absolute;
                float            Point[3] = {Vertex.X, Vertex.Y, Vertex.Z};
                Pose.RotateVect(Point);
                Pose.TranslateVect(Point);
                glVertex3fv(Point);
            } else {
                glVertex3f(Vertex.X, Vertex.Y, Vertex.Z);
            }
        }
    }
    glEnd();
}

void clsModel::Draw() const {
    for (size_t I = 0; I < Meshes.size() && I < MeshMaterials.size(); I++)
        DrawMesh(I);
}

void clsBone::DrawBone() const {
    clsVec Joint;
    clsVec ParentJoint;
    Joint.Transform(Absolute);
    if (Parent)
        ParentJoint.Transform(Parent->Absolute);
    else
        ParentJoint = Joint;

    glDisable(GL_TEXTURE_2D);
    glLineWidth(1.0f);
    glColor3f(1, 0, 0);
    glBegin(GL_LINES);
    glVertex3f(Joint.X, Joint.Y, Joint.Z);
    glVertex3f(ParentJoint.X, ParentJoint.Y, ParentJoint.Z);
    glEnd();

    glPointSize(2.0f);
    glColor3f(1, 0, 1);
    glBegin(GL_POINTS);
    glVertex3f(Joint.X, Joint.Y, Joint.Z);
    if (Parent) glVertex3f(ParentJoint.X, ParentJoint.Y, ParentJoint.Z);
    glEnd();
    glColor3f(1, 1, 1);
}

void clsModel::DrawSkeleton() const {
    for (const clsBone& Bone : Bones)
        Bone.DrawBone();
}
