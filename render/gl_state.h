// The record of the GL states that drawing switches; every change goes
// through it so a GL call is made only when a state really changes.
#pragma once

#include <cstdint>

struct GlStateRecord {
    bool alphaTestOn;
    bool blendOn;
    bool texturingOn;
    bool modulateOn; // false: GL_REPLACE
    uint32_t boundTexture;
};

extern GlStateRecord glState;

// All off and nothing bound, matching a fresh GL context.
void ResetGlState();
void SetAlphaTest(bool on);
void SetBlend(bool on);
void SetTexturing(bool on);
void SetModulate(bool on);
void BindTexture(uint32_t glName);
