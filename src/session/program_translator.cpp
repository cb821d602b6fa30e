#include "session/program_translator.h"

#include "session/text_catalogue.h"

namespace veltrix {

QString ProgramTranslator::translate(const char* context, const char* sourceText,
                                     const char* /*disambiguation*/, int /*n*/) const {
    if ((context != nullptr && *context != '\0') || sourceText == nullptr) {
        return {};
    }
    return TextCatalogue::Instance().Text(sourceText);
}

}  // namespace veltrix
