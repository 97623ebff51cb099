#include "platform/Errors.h"

#include <cstring>

namespace plotalon {

std::string FormatMessage(std::string_view pattern, std::string_view arg) {
    std::string out(pattern);
    auto at = out.find("%s");
    if (at != std::string::npos) out.replace(at, 2, arg);
    return out;
}

std::string FileErrorReason(int code) {
    switch (code) {
    case 0:
        return {};
    case ENOSPC:
        return "Datenträger voll";
    case EDQUOT:
        return "Speicherkontingent erschöpft";
    case EACCES:
    case EPERM:
        return "Zugriff verweigert";
    case EROFS:
        return "Datenträger schreibgeschützt";
    case ENOENT:
        return "Datei oder Ordner nicht vorhanden";
    case ENOTDIR:
        return "Ein Teil des Pfads ist kein Ordner";
    case EISDIR:
        return "Ist ein Ordner";
    case ENAMETOOLONG:
        return "Name zu lang";
    case ELOOP:
        return "Zu viele symbolische Verknüpfungen";
    case EMFILE:
    case ENFILE:
        return "Zu viele offene Dateien";
    case EFBIG:
        return "Datei zu groß";
    case EIO:
        return "Ein-/Ausgabefehler des Datenträgers";
    case EBUSY:
    case ETXTBSY:
        return "Datei wird gerade benutzt";
    case ENXIO:
    case ENODEV:
        return "Gerät nicht vorhanden";
    case EPIPE:
        return "Empfänger nicht mehr da";
    default:
        // Rare causes in the platform's own words.
        return std::strerror(code);
    }
}

std::string EInOutError::Detailed() const {
    const std::string reason = Reason();
    return reason.empty() ? Message() : Message() + " (" + reason + ")";
}

} // namespace plotalon
