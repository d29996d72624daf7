// The few GL calls that texture loading and text drawing make, without a GL:
// names are handed out and counted, so a texture deleted twice or never is
// caught. Drawing calls do nothing.
#include "tests/fuzz/gl_stub.h"

#include <GL/gl.h>

#include <cstdint>

namespace {
const GLuint kNames = 4096;
bool live[kNames];
GLuint nextName = 1;
int32_t liveCount = 0;
} // namespace

int32_t StubLiveTextures() { return liveCount; }

void StubResetNames()
{
    for (bool& name : live)
        name = false;
    nextName = 1;
    liveCount = 0;
}

extern "C" {
void glGenTextures(GLsizei n, GLuint* textures)
{
    for (GLsizei i = 0; i < n; ++i) {
        GLuint name = nextName < kNames ? nextName++ : 0;
        if (name) {
            live[name] = true;
            liveCount += 1;
        }
        textures[i] = name;
    }
}

void glDeleteTextures(GLsizei n, const GLuint* textures)
{
    for (GLsizei i = 0; i < n; ++i) {
        GLuint name = textures[i];
        if (name == 0)
            continue;
        if (name >= kNames || !live[name])
            __builtin_trap();
        live[name] = false;
        liveCount -= 1;
    }
}

void glBindTexture(GLenum, GLuint) {}
void glTexParameteri(GLenum, GLenum, GLint) {}
void glTexImage2D(GLenum, GLint, GLint, GLsizei width, GLsizei height, GLint, GLenum, GLenum, const GLvoid* pixels)
{
    if (width < 1 || height < 1 || !pixels)
        __builtin_trap();
}
void glTexEnvi(GLenum, GLenum, GLint) {}
void glEnable(GLenum) {}
void glDisable(GLenum) {}
void glBegin(GLenum) {}
void glEnd() {}
void glTexCoord2f(GLfloat, GLfloat) {}
void glTexCoord2i(GLint, GLint) {}
void glVertex2i(GLint, GLint) {}
void glColor4f(GLfloat, GLfloat, GLfloat, GLfloat) {}
void glMatrixMode(GLenum) {}
void glShadeModel(GLenum) {}
void glAlphaFunc(GLenum, GLclampf) {}
void glBlendFunc(GLenum, GLenum) {}
void glPixelStorei(GLenum, GLint) {}
void glViewport(GLint, GLint, GLsizei, GLsizei) {}
void glLoadIdentity() {}
void glOrtho(GLdouble, GLdouble, GLdouble, GLdouble, GLdouble, GLdouble) {}
void glClear(GLbitfield) {}
}
