#pragma once

class QCoreApplication;

// The texts Qt itself draws (the print and file dialogues' buttons and labels) in Polish, to
// match the rest of the program.
namespace ZTInterfaceTranslation {

// Installs Qt's own Polish translation into the application; false when it is not installed
// on this system (the dialogues then stay in English).
bool install(QCoreApplication &application);

} // namespace ZTInterfaceTranslation
