#include "pellow/terminal_message.h"

#include "pellow/result_codes.h"

namespace pellow {

namespace {

struct Hint {
    int result;
    const char* text;
};

constexpr Hint kHints[] = {
    {kFileNotFound, "start pellow in the folder of the installation medium"},
    {kPathNotFound, "start pellow in the folder of the installation medium"},
    {kAccessDenied, "check that you may read the file"},
    {kSharingViolation, "close the program that holds the file and try again"},
    {kBadFormat, "copy the file again from the installation medium"},
    {kNoAssociation, "install an application for the file's type, or open it with one"},
    {kAssociationIncomplete, "install an application for the file's type, or open it with one"},
    {kOutOfResources, "close other programs and try again"},
    {kOutOfMemory, "close other programs and try again"},
};

}  // namespace

QString TerminalMessage(int result, const QString& path, Language language) {
    QString hint = QStringLiteral("open the file with its application yourself");
    for (const Hint& h : kHints) {
        if (h.result == result) {
            hint = QString::fromLatin1(h.text);
        }
    }
    const QString text = MessageForResult(result, language);
    return QString::fromLatin1(kCommandName) + QStringLiteral(": ") + text + QStringLiteral(" (") +
           path + QStringLiteral("); ") + hint;
}

}  // namespace pellow
