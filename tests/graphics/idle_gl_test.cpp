// Counts every OpenGL call the engine makes: each gl* entry the engine imports is defined
// here as a trampoline that bumps a counter and jumps on to Mesa's function, so the engine's
// calls bind to these first. The list is checked against the engine's imports.
#include "render_fixture.h"

#include <dlfcn.h>

#include <cstdio>
#include <set>
#include <string>

extern "C" {
long kiv_glcalls = 0;
}

#define KIV_GL_NAMES(X) \
    X(glAccum) X(glBegin) X(glBlendFunc) X(glCallList) X(glClear) X(glClearColor) \
    X(glClearDepth) X(glColor3f) X(glColor3fv) X(glColor4fv) X(glColorMaterial) \
    X(glCullFace) X(glDeleteLists) X(glDepthMask) X(glDisable) X(glDrawBuffer) \
    X(glDrawPixels) X(glEnable) X(glEnd) X(glEndList) X(glFinish) X(glGenLists) \
    X(glGetFloatv) X(glGetIntegerv) X(glGetString) X(glLightModelfv) X(glLightModeli) \
    X(glLightf) X(glLightfv) X(glLineStipple) X(glLineWidth) X(glLoadIdentity) \
    X(glLoadMatrixf) X(glMaterialf) X(glMaterialfv) X(glMatrixMode) X(glMultMatrixf) \
    X(glNewList) X(glNormal3f) X(glNormal3fv) X(glPixelStorei) X(glPixelTransferf) \
    X(glPixelTransferi) X(glPixelZoom) X(glPolygonMode) X(glPopAttrib) X(glPopMatrix) \
    X(glPushAttrib) X(glPushMatrix) X(glRasterPos2f) X(glReadBuffer) X(glReadPixels) \
    X(glRecti) X(glRenderMode) X(glSelectBuffer) X(glShadeModel) X(glTranslatef) \
    X(glVertex3f) X(glVertex3fv) X(glViewport) X(gluPerspective) X(gluPickMatrix) \
    X(glBindTexture) X(glBitmap) X(glDeleteTextures) X(glDepthRange) X(glGenTextures) \
    X(glRasterPos3d) X(glScaled) X(glScalef) X(glTexCoord2fv) X(glTexEnvi) X(glTexGenfv) \
    X(glTexGeni) X(glTexImage2D) X(glTexParameterfv) X(glTexParameteri) X(glTranslated) \
    X(glVertex3d) X(glVertex3dv) X(glWindowPos3d) X(gluScaleImage)

#define KIV_TRAMPOLINE(name)                                                                   \
    extern "C" {                                                                                \
    void *kiv_real_##name = nullptr;                                                            \
    }                                                                                           \
    asm(".pushsection .text\n.globl " #name "\n.type " #name ", @function\n" #name ":\n"                    \
        "\tlock incq kiv_glcalls(%rip)\n\tjmp *kiv_real_" #name "(%rip)\n.size " #name         \
        ", .-" #name "\n.popsection\n");
KIV_GL_NAMES(KIV_TRAMPOLINE)

namespace {

#define KIV_RESOLVE(name) kiv_real_##name = dlsym(RTLD_NEXT, #name);
__attribute__((constructor)) void resolve_gl()
{
    KIV_GL_NAMES(KIV_RESOLVE)
}

#define KIV_NAME(name) #name,
const std::set<std::string> kCounted = {KIV_GL_NAMES(KIV_NAME)};

using kivtest::UniverseTest;

TEST(GlCallCounter, CoversEveryGlEntryTheEngineImports)
{
    Dl_info info{};
    ASSERT_TRUE(dladdr(reinterpret_cast<void *>(&GSuniverse_redraw), &info));
    const std::string command = std::string("nm -D --undefined-only ") + info.dli_fname + " 2>/dev/null";
    FILE *nm = popen(command.c_str(), "r");
    if (!nm)
        GTEST_SKIP() << "nm is not available";
    char line[512];
    int imports = 0;
    while (std::fgets(line, sizeof line, nm)) {
        char kind[8], name[256];
        if (std::sscanf(line, "%7s %255s", kind, name) != 2 || std::string(name).rfind("gl", 0) != 0)
            continue;
        ++imports;
        EXPECT_TRUE(kCounted.count(name)) << name << " is called by the engine but not counted";
    }
    pclose(nm);
    if (imports == 0)
        GTEST_SKIP() << "nm listed no imports";
}

TEST_F(UniverseTest, IdleFramesMakeNoGlCallsAndRefreshOnlyPresents)
{
    GSuniverse_changed(1);
    long before = kiv_glcalls;
    EXPECT_EQ(GSuniverse_redraw(), 1);
    EXPECT_GT(kiv_glcalls, before) << "the counter sees the engine's calls";

    before = kiv_glcalls;
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(GSuniverse_redraw(), 0);
    EXPECT_EQ(kiv_glcalls, before);

    GSuniverse_refresh();
    EXPECT_EQ(kiv_glcalls, before + 1) << "a refresh is one glFinish and a present";
}

} // namespace
