// The demo's frame and its shared state.
#pragma once

namespace rayheight {

// Draws one frame into the back buffer.
void OPENGL_DRAW();

}  // namespace rayheight
