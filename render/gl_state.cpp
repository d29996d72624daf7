#include "render/gl_state.h"

#include "render/gl_api.h"

GlStateRecord glState = {false, false, false, false, 0};

void ResetGlState() { glState = GlStateRecord{false, false, false, false, 0}; }

static void Switch(bool& current, bool wanted, GLenum capability)
{
    if (current == wanted)
        return;
    if (wanted)
        glEnable(capability);
    else
        glDisable(capability);
    current = wanted;
}

void SetAlphaTest(bool on) { Switch(glState.alphaTestOn, on, GL_ALPHA_TEST); }
void SetBlend(bool on) { Switch(glState.blendOn, on, GL_BLEND); }
void SetTexturing(bool on) { Switch(glState.texturingOn, on, GL_TEXTURE_2D); }

void SetModulate(bool on)
{
    if (glState.modulateOn == on)
        return;
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, on ? GL_MODULATE : GL_REPLACE);
    glState.modulateOn = on;
}

void BindTexture(uint32_t glName)
{
    if (glState.boundTexture == glName)
        return;
    glBindTexture(GL_TEXTURE_2D, glName);
    glState.boundTexture = glName;
}
