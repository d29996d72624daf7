#include "render/quad_batch.h"

#include "render/gl_api.h"

void QuadBatch::Add(int32_t left, int32_t right, int32_t bottom, int32_t top, float sLeft, float sRight, float tTop,
                    float tBottom)
{
    // The order a glBegin quad takes: top left, bottom left, bottom right, top right.
    const float quad[16] = {float(left),  float(top),    sLeft,  tTop,    float(left),  float(bottom), sLeft,  tBottom,
                            float(right), float(bottom), sRight, tBottom, float(right), float(top),    sRight, tTop};
    float* to = corners + quads * 16;
    for (float value : quad)
        *to++ = value;
    quads += 1;
}

void QuadBatch::Draw()
{
    if (quads == 1) {
        glBegin(GL_QUADS);
        for (int32_t corner = 0; corner < 16; corner += 4) {
            glTexCoord2f(corners[corner + 2], corners[corner + 3]);
            glVertex2f(corners[corner], corners[corner + 1]);
        }
        glEnd();
    } else if (quads > 1) {
        glEnableClientState(GL_VERTEX_ARRAY);
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        glVertexPointer(2, GL_FLOAT, 4 * sizeof(float), corners);
        glTexCoordPointer(2, GL_FLOAT, 4 * sizeof(float), corners + 2);
        glDrawArrays(GL_QUADS, 0, quads * 4);
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
        glDisableClientState(GL_VERTEX_ARRAY);
    }
    quads = 0;
}
