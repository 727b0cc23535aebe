// The language of the program's texts. The source texts are the program's own
// (the specified captions and messages, some of them Italian); the English
// translation makes the whole program English and mends the typos. Files and
// the wire never change with the language.
// In the original texts, what the program adds to the specified ones is in
// English, the language of the specified captions, menus and tooltips, except
// where it continues one of the specified Italian messages in the same box (a
// calibration prompt's further sentences): there it is Italian. A one-word
// Italian heading ("errore", "ERRORE") stays above the program's own reason.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

#include "common/settings_file.h"

namespace kolm::common::ui {

enum class Language { Original, English };

// Installs the translation of `language` for the windows and for the texts the
// core composes (Original removes it). Windows opened afterwards use it.
void installLanguage(Language language);
Language installedLanguage();

// "original" or "en"; empty for anything else.
std::optional<Language> languageNamed(const QString& name);
QString languageName(Language language);

// The language to start with: `--lang original|en` on the command line, else
// the choice kept in the kolm.ini of `settings` (the launcher's Language menu),
// else English unless the system language is Italian. A bad --lang value sets
// `error`.
Language startLanguage(const QStringList& arguments, const SettingsFolder& settings,
                       QString* error = nullptr);
// Keeps the launcher's choice for the next start.
void rememberLanguage(Language language, const SettingsFolder& settings);

}  // namespace kolm::common::ui
