// The fixed GL state and the two projections.
#include "render/View.h"

#include "core/Screen.h"

#include <GL/gl.h>
#include <GL/glu.h>

bool   OverlayMode = false;
double FieldOfView = 0.0;

void InitGLState() {
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glShadeModel(GL_SMOOTH);
    glClearDepth(1.0);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LESS);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
}

void SetOverlayMode(bool Overlay) {
    if (Overlay == OverlayMode)
        return;
    OverlayMode = Overlay;
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    if (Overlay)
        glOrtho(0.0, 100.0, 0.0, 100.0, 0.0, 1.0);
    else
        gluPerspective(FieldOfView, double(ScreenWidth) / double(ScreenHeight), 0.1, 1500.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

void BeginFrameDrawing() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glPushMatrix();
}

void EndFrameDrawing() {
    glFlush();
    glPopMatrix();
}
