#pragma once

#include <string>

namespace platform {

// What the screens show passes through one hook: the program installs Qt's translator, everything
// else (the replay, the tests) keeps the identity and so the Japanese source texts. Files never go
// through it. Formats with parameters are translated before they are filled in.
using Translator = std::string (*)(const char* context, const char* text);

void SetTranslator(Translator translator);
std::string Tr(const char* context, const char* text);

enum class UiLanguage { Japanese, English };

// The language of the screens from the locale variables, looked up as gettext does: LANGUAGE (its
// first entry) unless the locale is C, then LC_ALL, LC_MESSAGES, LANG. Japanese for "ja…" and for
// C/POSIX or nothing set, English for every other language. `get` is std::getenv or a stand-in.
UiLanguage ChooseUiLanguage(char* (*get)(const char* name));

} // namespace platform

// Marks a text for translation where it is defined (a constant); Tr translates it where it is shown.
#define AMBULO_TR_NOOP(context, text) text
