// The headless context every rendering test relies on: clear to a colour and read it back.
#include "support/GLContext.h"

#include <SDL_opengl.h>
#include <gtest/gtest.h>

TEST(HeadlessGL, ClearsAndReadsBack) {
    clsTestGLContext Ctx(64, 48);
    REQUIRE_GL(Ctx);
    glClearColor(1.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    const auto P = Ctx.Pixel(10, 10);
    EXPECT_EQ(P[0], 255);
    EXPECT_EQ(P[1], 0);
    EXPECT_EQ(P[2], 0);
}
