#pragma once
// The translator the program installs into its application: it answers every qtTrId
// (a message without context) from the TextCatalogue, in the language the program
// speaks at that moment, and leaves Qt's own texts (which have a context) to Qt's
// translations.

#include <QTranslator>

namespace veltrix {

class ProgramTranslator : public QTranslator {
  public:
    using QTranslator::QTranslator;

    QString translate(const char* context, const char* sourceText,
                      const char* disambiguation = nullptr, int n = -1) const override;
    bool isEmpty() const override { return false; }
};

}  // namespace veltrix
