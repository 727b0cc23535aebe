// Texts the user reads, marked for translation. The core keeps the source texts
// (the specified ones, verbatim); the windows install a translator that looks a
// text up in the chosen language, the command line installs none. The
// translation tools find the texts by the KOLM_TR marker.
#pragma once

#include <initializer_list>
#include <string>

namespace kolm::common {

// Looks `text` up in `context`; returns the text itself when it has no
// translation. Installed once, at start, before any window opens.
using Translator = std::string (*)(const char* context, const char* text);
void setTranslator(Translator translator);

// The text in the chosen language.
std::string tr(const char* context, const char* text);

// `text` with %1 .. %9 replaced by the arguments, in one pass (an argument that
// itself holds %2 is not replaced again).
std::string arg(const std::string& text, std::initializer_list<std::string> args);

}  // namespace kolm::common

// A translatable text of `context`, translated where it is used.
#define KOLM_TR(context, text) ::kolm::common::tr(context, text)
// A text of `context` marked for translation but left as it is: the window
// that shows it translates it (a specified caption or message kept as a
// constant).
#define KOLM_TR_NOOP(context, text) text
