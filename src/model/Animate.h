// clsAnimate: one model file with its clock; draws the model and, when switched on, animates it.
#pragma once
#include "model/Model.h"
#include <cstdint>
#include <memory>
#include <string>

class clsTimer;

class clsAnimate {
  public:
    // Loads the model (a failure is reported once with "Couldn't load the model" and the
    // animator is still made), sets the OpenGL state models need, then the default projection.
    clsAnimate(const std::string& FileName, double Speed);
    ~clsAnimate();
    clsAnimate(const clsAnimate&) = delete;
    clsAnimate& operator=(const clsAnimate&) = delete;

    // The default projection: glFrustum(-1, 1, -1, 1, 1, 1500), leaving the projection matrix
    // current. Needs no animator; the viewport resize calls it last.
    static void SetProjection();
    void Render(const clsModel& Shown) const; // Shown's meshes, then its skeleton if ShowSkeleton
    void Update();                            // Render the model, then advance by the time passed

    bool                      Animating = false;    // Update advances the animation
    std::string               FileName;             // the model file given to the constructor
    double                    AnimationSpeed = 1.0; // frames of animation per second of real time
    std::unique_ptr<clsModel> Model;                // the loaded model
    bool                      ShowSkeleton = false; // Render also draws the skeleton on top
    std::unique_ptr<clsTimer> Clock;                // started at the end of the constructor
    float                     LastTime = 0;         // Clock reading at the previous Update, seconds
    float                     Delta = 0;            // seconds between the last two Updates
};
