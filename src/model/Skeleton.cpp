// The model's skeleton: rest pose, skin binding, key tracks and the pose at a time.
#include "model/Model.h"

void clsModel::SetupRestPose() {
    for (clsBone& Bone : Bones)
        Bone.SetupBone();
}

// Skinned vertices are kept in their bone's rest space, so drawing only has to apply the bone's
// current matrix.
void clsModel::BindSkin() {
    for (clsShape& Mesh : Meshes) {
        for (clsVec& Vertex : Mesh.Vertices) {
            if (Vertex.BoneIndex == -1) continue;
            const clsMatrix& Rest = Bones[size_t(Vertex.BoneIndex)].Absolute;
            float            Point[3] = {Vertex.X, Vertex.Y, Vertex.Z};
            Rest.InverseTranslateVect(Point);
            Rest.InverseRotateVect(Point);
            Vertex.X = Point[0];
            Vertex.Y = Point[1];
            Vertex.Z = Point[2];
        }
    }
}

// ---- posing ----

void KeyValueAt(const std::vector<clsKeyFrame>& Keys, float T, float Value[3]) {
    if (Keys.empty()) {
        Value[0] = Value[1] = Value[2] = 0;
        return;
    }
    size_t I = 0; // the first key at or after T, or the last key
    while (I + 1 < Keys.size() && Keys[I].Time < T)
        I++;
    const clsKeyFrame* Key = &Keys[I];
    if (Key->Time <= T) {
        // On a key or past the last one: hold it; of keys sharing that time the last counts.
        while (I + 1 < Keys.size() && Keys[I + 1].Time == Key->Time)
            Key = &Keys[++I];
    } else if (I > 0) {
        // Strictly between key I - 1 (before T) and key I (after T), so D > 0 and 0 < S < 1.
        const clsKeyFrame& Prev = Keys[I - 1];
        const float        D = Key->Time - Prev.Time;
        const float        S = (T - Prev.Time) / D;
        Value[0] = (Key->X - Prev.X) * S + Prev.X;
        Value[1] = (Key->Y - Prev.Y) * S + Prev.Y;
        Value[2] = (Key->Z - Prev.Z) * S + Prev.Z;
        return;
    }
    Value[0] = Key->X;
    Value[1] = Key->Y;
    Value[2] = Key->Z;
}

namespace {

clsMatrix RotationAndTranslation(const float Rotation[3], const float Translation[3]) {
    clsMatrix Result;
    Result.SetRotationRadians(Rotation);
    Result.SetTranslation(Translation);
    return Result;
}

} // namespace

void clsBone::SetupBone() {
    const clsMatrix Local = RotationAndTranslation(Rotation, Position);
    if (Parent) {
        Absolute = Parent->Absolute;
        Absolute.PostMultiply(Local);
    } else {
        Absolute = Local;
    }
}

void clsBone::AnimateBone(float T) {
    float KeyPosition[3];
    float KeyRotation[3];
    KeyValueAt(PositionKeys, T, KeyPosition);
    KeyValueAt(RotationKeys, T, KeyRotation);
    clsMatrix Local = RotationAndTranslation(Rotation, Position);
    Local.PostMultiply(RotationAndTranslation(KeyRotation, KeyPosition));
    if (Parent) {
        Absolute = Parent->Absolute; // a bone may be its own parent: copy before multiplying
        Absolute.PostMultiply(Local);
    } else {
        Absolute = Local;
    }
}

void clsModel::AdvanceAnimation(float Delta) {
    Time += Delta;
    if (Time > Frames) Time = 1.0f; // the loop restarts at frame 1, not 0
    for (clsBone& Bone : Bones)
        Bone.AnimateBone(Time);
}
