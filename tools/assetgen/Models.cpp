// Models: the tanks, turrets, pickup, house and explosion shapes.
// Conventions of every model: the front points to +Z (the game turns models by Heading - 180), the
// base stands near y = -10 (models are drawn at a tenth of their size, one unit above the ground),
// and x and z are centred on the origin. Sizes are in model units: a tank is about 30 wide, 25 high
// and 40 long, a turret about 30 each way, the pickup about 20 across.
// The skinned models are written in their rest pose; the loader moves each bound vertex into its
// bone's space and then poses the skeleton at the file's "Frame:" value.
#include "Models.h"

#include "Mesh.h"

#include <cmath>
#include <cstdio>

namespace {

constexpr double Pi = 3.14159265358979323846;
const Vec3 AlongX = {0, 0, -Pi / 2};   // turns a primitive's +Y axis onto +X
const Vec3 AlongZ = {Pi / 2, 0, 0};    // turns a primitive's +Y axis onto +Z

ModelMaterial Material(const char* Name, const char* Map) {
    return {Name, {0.9, 0.9, 0.9}, std::string("textures/") + Map};
}

// Keys at frames 1, 11, 21, 31 and 41: one cycle of 40 frames whose ends are equal.
constexpr double KeyTimes[5] = {1, 11, 21, 31, 41};

std::vector<ModelKey> Cycle(Vec3 A, Vec3 B, Vec3 C, Vec3 D) {
    const Vec3 V[5] = {A, B, C, D, A};
    std::vector<ModelKey> Keys;
    for (int K = 0; K < 5; ++K)
        Keys.push_back({KeyTimes[K], V[K].X, V[K].Y, V[K].Z});
    return Keys;
}

std::vector<ModelKey> Still() { return {{1, 0, 0, 0}, {41, 0, 0, 0}}; }

// ---- Enemy tank ---------------------------------------------------------------------------------

const std::vector<std::pair<double, double>> TrackProfile = {
    {-19, -6.5}, {-16, -10}, {16, -10}, {19.5, -6.5}, {17.5, -2.5}, {-17.5, -2.5}};
const std::vector<std::pair<double, double>> TigerHullProfile = {
    {-19, -2.5}, {19.5, -2.5}, {14, 3.5}, {-17, 3.5}, {-19.5, 1}};

void TigerTracks(clsMesh& Tracks, clsMesh& Wheels, int BoneLeft, int BoneRight, bool Near) {
    for (int Side = -1; Side <= 1; Side += 2) {
        Tracks.Bone = Wheels.Bone = Side < 0 ? BoneLeft : BoneRight;
        Tracks.ExtrudeX(TrackProfile, Side < 0 ? -14.2 : 7.5, Side < 0 ? -7.5 : 14.2);
        if (!Near) {
            Wheels.Box({Side * 14.6, -6.6, 0}, {0.4, 2.4, 13.5});
            continue;
        }
        for (int W = -2; W <= 2; ++W) {
            Wheels.Place = At({Side < 0 ? -15.0 : 14.2, -6.8, W * 6.5}, AlongX);
            Wheels.Cylinder({0, 0, 0}, 2.6, 2.6, 0.8, 14);
        }
        Wheels.Place = Placement{};
    }
}

void TigerTurret(clsMesh& Turret, clsMesh& Gun, bool Near) {
    Turret.Cylinder({0, 3.5, -2}, 9.5, 8, 6.5, Near ? 16 : 6);
    if (Near) {
        Turret.Box({0, 7, -10.5}, {6, 2.5, 2.5});
        Turret.Cylinder({-3, 10, -4}, 2.5, 2.2, 1.5, 12);
        Turret.Box({4, 10.4, -5}, {1.2, 0.4, 1.6});
    }
    Gun.Box({0, 7, 8}, {3, 2.2, 1.5});
    if (!Near) {
        Gun.Box({0, 7, 15}, {0.9, 0.9, 6});
        return;
    }
    Gun.Place = At({0, 7, 9}, AlongZ);
    Gun.Cylinder({0, 0, 0}, 1.0, 0.9, 11, 12);
    Gun.Cylinder({0, 11, 0}, 1.5, 1.5, 1.5, 12);
    Gun.Place = Placement{};
}

ModelFile Tiger(bool Near) {
    ModelFile M;
    M.Frames = 40;
    M.Frame = 6;   // between two keys of the rest pose: the tank is shown as built
    M.Materials = {Material("Armour", "armour.jpg"), Material("Tracks", "tracks.jpg")};
    int Hull = -1, Turret = -1, Gun = -1, Left = -1, Right = -1;
    if (Near) {
        Hull = M.AddBone("Hull", "", {0, -2, 0}, {0, 0.25, 0});
        Turret = M.AddBone("Turret", "Hull", {0, 3.5, -2}, {0, -0.6, 0});
        Gun = M.AddBone("Gun", "Turret", {0, 7, 7}, {0.08, 0, 0});
        Left = M.AddBone("TrackLeft", "Hull", {-11, -6, 0}, {0, 0, 0.15});
        Right = M.AddBone("TrackRight", "Hull", {11, -6, 0}, {0, 0, -0.15});
        // Rest, rest, then the turret sweeps left and right while the gun lifts and recoils.
        for (ModelBone& B : M.Bones) {
            B.PositionKeys = Still();
            B.RotationKeys = Still();
        }
        M.Bones[Hull].RotationKeys = Cycle({0, 0, 0}, {0, 0, 0}, {-0.03, 0, 0}, {0, 0, 0});
        M.Bones[Turret].RotationKeys = Cycle({0, 0, 0}, {0, 0, 0}, {0, 0.35, 0}, {0, -0.35, 0});
        M.Bones[Gun].RotationKeys = Cycle({0, 0, 0}, {0, 0, 0}, {-0.12, 0, 0}, {0.04, 0, 0});
        M.Bones[Gun].PositionKeys = Cycle({0, 0, 0}, {0, 0, 0}, {0, 0, -1.2}, {0, 0, 0});
    }
    M.Meshes = {clsMesh("Hull", 0), clsMesh("Tracks", 1), clsMesh("Wheels", 0), clsMesh("Turret", 0),
                clsMesh("Gun", 0)};
    clsMesh& HullMesh = M.Meshes[0];
    HullMesh.Bone = Hull;
    HullMesh.Box({0, -6, 0}, {7.5, 3.5, 17});
    HullMesh.ExtrudeX(TigerHullProfile, -14.5, 14.5);
    if (Near)
        HullMesh.Box({0, 4, -12}, {8, 0.5, 4});
    TigerTracks(M.Meshes[1], M.Meshes[2], Left, Right, Near);
    M.Meshes[3].Bone = Turret;
    M.Meshes[4].Bone = Gun;
    TigerTurret(M.Meshes[3], M.Meshes[4], Near);
    return M;
}

// ---- Gun emplacement ------------------------------------------------------------------------------

const std::vector<std::pair<double, double>> TurretHeadProfile = {
    {-9, 1.5}, {7, 1.5}, {10, 5.5}, {7, 10.5}, {-9, 10.5}, {-10, 6}};

ModelFile Turret(bool Near) {
    ModelFile M;
    M.Materials = {Material("Armour", "armour.jpg")};
    M.Meshes = {clsMesh("Base", 0), clsMesh("Head", 0)};
    clsMesh& Base = M.Meshes[0];
    clsMesh& Head = M.Meshes[1];
    Base.Cylinder({0, -10, 0}, 15, 13, 4, Near ? 16 : 8);
    if (Near) {
        Base.Cylinder({0, -6, 0}, 8, 7, 1.5, 16);
        Base.Cylinder({0, -4.5, 0}, 5, 5, 6, 12);
    } else {
        Base.Box({0, -3, 0}, {5, 3, 5});
    }
    Head.ExtrudeX(TurretHeadProfile, -8.5, 8.5);
    for (int Side = -1; Side <= 1; Side += 2) {
        if (Near) {
            Head.Place = At({Side * 4.0, 6, 8}, AlongZ);
            Head.Cylinder({0, 0, 0}, 1.0, 1.0, 8, 10);
            Head.Cylinder({0, 8, 0}, 1.3, 1.3, 0.9, 10);
            Head.Place = Placement{};
        } else {
            Head.Box({Side * 4.0, 6, 12.45}, {1, 1, 4.45});
        }
    }
    if (Near) {
        Head.Cylinder({3, 10.5, -5}, 0.5, 0.5, 8, 6);
        Head.Cylinder({3, 18.5, -5}, 0.4, 3, 1.5, 14);
    } else {
        Head.Box({3, 14.5, -5}, {0.5, 4, 0.5});
        Head.Box({3, 19.2, -5}, {2.5, 0.7, 2.5});
    }
    return M;
}

// ---- Player's walking tank ------------------------------------------------------------------------

const std::vector<std::pair<double, double>> HeroHullProfile = {
    {-16, 0}, {14.5, 0}, {18, 4}, {13, 8}, {-13.5, 8}, {-17, 4.5}};

struct Leg {
    const char* Hip;
    const char* Knee;
    int         SideX, SideZ;
    bool        FirstPair;   // the two diagonal pairs step in turn
};

const Leg Legs[] = {
    {"HipFrontLeft", "KneeFrontLeft", -1, 1, true},
    {"HipFrontRight", "KneeFrontRight", 1, 1, false},
    {"HipRearLeft", "KneeRearLeft", -1, -1, false},
    {"HipRearRight", "KneeRearRight", 1, -1, true},
};

void HeroLeg(ModelFile& M, clsMesh& Limbs, clsMesh& Joints, const Leg& L) {
    const Vec3 Hip = {L.SideX * 11.5, 2, L.SideZ * 9.0};
    const Vec3 Knee = {L.SideX * 13.5, -2.5, L.SideZ * 9.0};
    const Vec3 Foot = {L.SideX * 13.5, -8.5, L.SideZ * 9.0};
    // The thigh bone is turned so that its -Y axis runs down the thigh; its X axis then lies across
    // the leg, and turning about it swings the leg forwards and backwards.
    const double Splay = std::atan2(Knee.X - Hip.X, Hip.Y - Knee.Y);
    const double Thigh = std::hypot(Knee.X - Hip.X, Hip.Y - Knee.Y);
    const int HipBone = M.AddBone(L.Hip, "Body", Hip, {0, 0, Splay});
    const int KneeBone = M.AddBone(L.Knee, L.Hip, Knee, {0, 0, -Splay});
    // A trot: the two diagonal pairs take turns. A standing leg swings from forward (negative) to
    // back while its knee turns the other way, so the foot stays flat on the ground; a stepping leg
    // swings forward while its hip piston draws it up and the knee tips the toe up.
    const Vec3 Rest = {0, 0, 0}, Lift = {0, 1.8, 0};
    const Vec3 Forward = {-0.3, 0, 0}, Back = {0.3, 0, 0}, ToeUp = {-0.2, 0, 0};
    ModelBone& H = M.Bones[HipBone];
    ModelBone& K = M.Bones[KneeBone];
    if (L.FirstPair) {
        H.RotationKeys = Cycle(Forward, Rest, Back, Rest);
        K.RotationKeys = Cycle(Back, Rest, Forward, ToeUp);
        H.PositionKeys = Cycle(Rest, Rest, Rest, Lift);
    } else {
        H.RotationKeys = Cycle(Back, Rest, Forward, Rest);
        K.RotationKeys = Cycle(Forward, ToeUp, Back, Rest);
        H.PositionKeys = Cycle(Rest, Lift, Rest, Rest);
    }
    K.PositionKeys = Still();

    Limbs.Bone = HipBone;
    Limbs.Place = At(Hip, {0, 0, Splay});
    Limbs.Box({0, -Thigh / 2, 0}, {1.3, Thigh / 2 + 0.8, 1.6});
    Limbs.Bone = KneeBone;
    Limbs.Place = Placement{};
    Limbs.Box({Knee.X, (Knee.Y + Foot.Y) / 2, Knee.Z}, {1.1, (Knee.Y - Foot.Y) / 2 + 0.5, 1.3});

    Joints.Bone = KneeBone;
    Joints.Place = At(Knee, AlongX);
    Joints.Cylinder({0, -1.8, 0}, 1.5, 1.5, 3.6, 10);
    Joints.Place = Placement{};
    Joints.Box({Foot.X, -9.25, Foot.Z + 0.4}, {2.2, 0.75, 2.8});
    Joints.Bone = M.BoneIndex("Body");
    Joints.Place = At({L.SideX * 9.5, 2, L.SideZ * 9.0}, AlongX);
    Joints.Cylinder({0, L.SideX < 0 ? -2.0 : 0.0, 0}, 2.2, 2.2, 2.0, 12);
    Joints.Place = Placement{};
}

ModelFile Hero() {
    ModelFile M;
    M.Frames = 40;
    M.Frame = 6;   // early in the stride: one diagonal pair reaches forward, the other lifts
    M.Materials = {Material("Armour", "armour.jpg"), Material("Joints", "tracks.jpg")};
    M.Meshes = {clsMesh("Hull", 0), clsMesh("Turret", 0), clsMesh("Gun", 0), clsMesh("Legs", 0),
                clsMesh("Joints", 1)};
    const int Body = M.AddBone("Body", "", {0, 3, 0}, {0, 0, 0});
    const int Turret = M.AddBone("Turret", "Body", {0, 8, -1}, {0, 0.35, 0});
    const int Gun = M.AddBone("Gun", "Turret", {0, 10, 4}, {-0.05, 0, 0});
    M.Bones[Body].PositionKeys = Still();
    M.Bones[Body].RotationKeys = Cycle({0, 0, 0}, {0.02, 0, 0}, {0, 0, 0}, {-0.02, 0, 0});
    M.Bones[Turret].PositionKeys = Still();
    M.Bones[Turret].RotationKeys = Cycle({0, 0, 0}, {0, 0.2, 0}, {0, 0, 0}, {0, -0.2, 0});
    M.Bones[Gun].PositionKeys = Still();
    M.Bones[Gun].RotationKeys = Cycle({0, 0, 0}, {-0.05, 0, 0}, {0, 0, 0}, {0.05, 0, 0});

    clsMesh& Hull = M.Meshes[0];
    Hull.Bone = Body;
    Hull.ExtrudeX(HeroHullProfile, -10, 10);
    Hull.Box({0, 8.4, -11}, {6, 0.4, 2.5});
    clsMesh& Dome = M.Meshes[1];
    Dome.Bone = Turret;
    Dome.Cylinder({0, 8, -1}, 7, 5.5, 4, 14);
    Dome.Box({-2.5, 12.6, -3}, {1.6, 0.6, 1.8});
    clsMesh& Barrel = M.Meshes[2];
    Barrel.Bone = Gun;
    Barrel.Place = At({0, 10, 4}, AlongZ);
    Barrel.Cylinder({0, 0, 0}, 1.2, 1.0, 15, 12);
    Barrel.Cylinder({0, 15, 0}, 1.5, 1.5, 1.8, 12);
    for (const Leg& L : Legs)
        HeroLeg(M, M.Meshes[3], M.Meshes[4], L);
    return M;
}

// ---- Pickup, house and explosion shapes -----------------------------------------------------------

ModelFile Bonus() {
    ModelFile M;
    M.Materials = {Material("Crystal", "crystal.jpg"), Material("Armour", "armour.jpg")};
    M.Meshes = {clsMesh("Gem", 0), clsMesh("Ring", 0), clsMesh("Plinth", 1)};
    // A cut crystal of eight facets above and below its girdle, inside a ring, on a low plinth.
    const Vec3 Top = {0, 10, 0}, Bottom = {0, -7, 0}, Middle = {0, 2, 0};
    constexpr int Sides = 8;
    for (int S = 0; S < Sides; ++S) {
        const double A0 = 2 * Pi * S / Sides, A1 = 2 * Pi * (S + 1) / Sides;
        const Vec3 P0 = {6.5 * std::cos(A0), 2, 6.5 * std::sin(A0)}, P1 = {6.5 * std::cos(A1), 2, 6.5 * std::sin(A1)};
        M.Meshes[0].Facet(Top, P0, P1, Middle);
        M.Meshes[0].Facet(Bottom, P1, P0, Middle);
    }
    M.Meshes[1].Torus({0, 2, 0}, 9, 0.9, 24, 6);
    M.Meshes[2].Cylinder({0, -10, 0}, 6, 5, 1.5, 16);
    return M;
}

ModelFile House() {
    ModelFile M;
    M.Materials = {Material("Walls", "housewall.jpg"), Material("Roof", "roof.jpg")};
    M.Meshes = {clsMesh("Walls", 0), clsMesh("Roof", 1)};
    clsMesh& Walls = M.Meshes[0];
    Walls.TexScale = 1.0 / 18;
    Walls.Box({0, -1, 0}, {18, 9, 9});
    Walls.Box({10, 13, -3}, {1.5, 5, 1.5});
    clsMesh& Roof = M.Meshes[1];
    Roof.TexScale = 1.0 / 12;
    Roof.ExtrudeX({{-10.5, 7.5}, {10.5, 7.5}, {0, 16}}, -19.5, 19.5);
    Roof.Box({0, -5.5, 9.1}, {2.5, 4.5, 0.3});
    return M;
}

ModelFile BlastSphere() {
    ModelFile M;
    M.Materials = {Material("Blast", "blast.jpg")};
    M.Meshes = {clsMesh("Sphere", 0)};
    M.Meshes[0].Sphere({0, 0, 0}, 8, 12, 18);
    return M;
}

ModelFile BlastDisk() {
    ModelFile M;
    M.Materials = {Material("Shock", "shockring.jpg")};
    M.Meshes = {clsMesh("Disk", 0)};
    M.Meshes[0].Disk({0, 0, 0}, 8, 32);
    return M;
}

} // namespace

bool WriteModels(const std::string& Root) {
    const std::string Dir = Root + "/models/";
    bool Ok = WriteModel(Dir + "hero.mdl", Hero());
    Ok = WriteModel(Dir + "tiger.mdl", Tiger(true)) && Ok;
    Ok = WriteModel(Dir + "tiger_f.mdl", Tiger(false)) && Ok;
    Ok = WriteModel(Dir + "turret.mdl", Turret(true)) && Ok;
    Ok = WriteModel(Dir + "turret_f.mdl", Turret(false)) && Ok;
    Ok = WriteModel(Dir + "bonus.mdl", Bonus()) && Ok;
    Ok = WriteModel(Dir + "house.mdl", House()) && Ok;
    Ok = WriteModel(Dir + "xpsphere.mdl", BlastSphere()) && Ok;
    Ok = WriteModel(Dir + "xpdisk.mdl", BlastDisk()) && Ok;
    return Ok;
}
