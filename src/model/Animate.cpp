// clsAnimate: loads one model, sets the OpenGL state models need and draws and advances it.
#include "model/Animate.h"
#include "core/Timer.h"
#include "platform/Platform.h"
#include <GL/gl.h>

clsAnimate::clsAnimate(const std::string& Name, double Speed)
    : FileName(Name), AnimationSpeed(Speed), Model(std::make_unique<clsModel>()) {
    if (!Model->LoadFromFile(FileName)) ShowMessage("Couldn't load the model", "Model");
    glShadeModel(GL_SMOOTH);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_TEXTURE_2D);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    glClearColor(0, 0, 0, 0);
    SetProjection();
    Clock = std::make_unique<clsTimer>();
}

clsAnimate::~clsAnimate() = default;

void clsAnimate::SetProjection() {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glFrustum(-1, 1, -1, 1, 1, 1500);
}

void clsAnimate::Render(const clsModel& Shown) const {
    Shown.Draw();
    if (ShowSkeleton) {
        glClear(GL_DEPTH_BUFFER_BIT); // the skeleton stays visible over the model
        Shown.DrawSkeleton();
    }
}

// The model is drawn before it is advanced, so a frame shows the pose of the previous update.
void clsAnimate::Update() {
    Render(*Model);
    const float Now = Clock->ElapsedSeconds();
    Delta = Now - LastTime;
    LastTime = LastTime + Delta;
    if (Animating) Model->AdvanceAnimation(float(Delta * AnimationSpeed));
}
