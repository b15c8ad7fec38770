#pragma once

// The web engine that lays documents out needs a QGuiApplication created with shared OpenGL
// contexts, and, without a display or as root, a few settings of its own. prepare() makes
// them; call it before the application object is created.
namespace ZTRenderingEnvironment {

void prepare();

} // namespace ZTRenderingEnvironment
