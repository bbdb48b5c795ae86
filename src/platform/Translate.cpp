#include "platform/Translate.h"

#include <cctype>

namespace platform {

namespace {

Translator g_translator = nullptr;

bool IsCLocale(std::string_view name) {
    const std::string_view base = name.substr(0, name.find_first_of(".@"));
    return base.empty() || base == "C" || base == "POSIX";
}

} // namespace

void SetTranslator(Translator translator) {
    g_translator = translator;
}

std::string Tr(const char* context, const char* text) {
    return g_translator ? g_translator(context, text) : std::string(text);
}

UiLanguage ChooseUiLanguage(char* (*get)(const char* name)) {
    std::string_view locale;
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = get(name);
        if (value && *value) {
            locale = value;
            break;
        }
    }
    // As gettext does, LANGUAGE counts only when the locale is not C: "LANG=C" keeps the program's
    // own language whatever LANGUAGE says.
    if (IsCLocale(locale)) {
        return UiLanguage::Japanese;
    }
    std::string_view chosen = locale;
    if (const char* language = get("LANGUAGE"); language && *language) {
        const std::string_view list = language;
        if (const std::string_view first = list.substr(0, list.find(':')); !first.empty()) {
            chosen = first;
        }
    }
    // "ja", "ja_JP.UTF-8", "ja@…"; not "jam" (Jamaican Creole).
    const bool japanese = chosen.substr(0, 2) == "ja" &&
                          (chosen.size() == 2 || !std::isalpha(static_cast<unsigned char>(chosen[2])));
    return japanese ? UiLanguage::Japanese : UiLanguage::English;
}

} // namespace platform
