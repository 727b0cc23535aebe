#include "common/ui/language.h"

#include <QCoreApplication>
#include <QLocale>
#include <QPointer>
#include <QTranslator>

#include "common/tr.h"
#include "common/ui/recent_files.h"

namespace kolm::common::ui {

namespace {

constexpr const char* kLanguageKey = "language";

QPointer<QTranslator>& translator() {
  static QPointer<QTranslator> t;
  return t;
}

Language& current() {
  static Language l = Language::Original;
  return l;
}

std::string translateForCore(const char* context, const char* text) {
  return QCoreApplication::translate(context, text).toStdString();
}

}  // namespace

void installLanguage(Language language) {
  if (QPointer<QTranslator>& t = translator()) {
    QCoreApplication::removeTranslator(t);
    delete t;
  }
  current() = language;
  if (language == Language::Original) {
    common::setTranslator(nullptr);
    return;
  }
  auto* t = new QTranslator(QCoreApplication::instance());
  if (t->load(":/i18n/kolm_en.qm")) {
    QCoreApplication::installTranslator(t);
    translator() = t;
  } else {
    delete t;
  }
  common::setTranslator(&translateForCore);
}

Language installedLanguage() { return current(); }

std::optional<Language> languageNamed(const QString& name) {
  if (name == "original") return Language::Original;
  if (name == "en") return Language::English;
  return std::nullopt;
}

QString languageName(Language language) {
  return language == Language::English ? "en" : "original";
}

Language startLanguage(const QStringList& arguments, const SettingsFolder& settings,
                       QString* error) {
  for (int i = 0; i < arguments.size(); ++i) {
    QString value;
    if (arguments[i] == "--lang" && i + 1 < arguments.size())
      value = arguments[i + 1];
    else if (arguments[i].startsWith("--lang="))
      value = arguments[i].mid(7);
    else
      continue;
    if (auto l = languageNamed(value)) return *l;
    if (error) *error = QString("--lang takes original or en, not \"%1\".").arg(value);
  }
  if (auto kept = languageNamed(uiSettings(settings).value(kLanguageKey).toString())) return *kept;
  return QLocale::system().language() == QLocale::Italian ? Language::Original : Language::English;
}

void rememberLanguage(Language language, const SettingsFolder& settings) {
  auto kept = uiSettings(settings);
  kept.setValue(kLanguageKey, languageName(language));
}

}  // namespace kolm::common::ui
