#pragma once

#include "Core/Text/AttributedString.h"
#include "Editor/TextFormatTarget.h"

#include <QString>
#include <QUrl>

#include <vector>

namespace quorrin {

// A web address or e-mail address found in typed text.
struct DetectedLink {
    int start = 0;
    int length = 0;
    QString url; // what the link opens: the address, "http://" before a bare "www.", "mailto:" before an e-mail

    friend bool operator==(const DetectedLink&, const DetectedLink&) = default;
};

namespace links {

// The stored attribute that makes characters a link; its value is the URL.
inline const QString& attribute = textformat::linkAttribute;

// Every web address (http://, https://, www.) and e-mail address in `text`,
// in order. Punctuation that ends a sentence is not part of an address.
std::vector<DetectedLink> detect(const QString& text);

// Marks every address in `text` that is not part of a link yet as a link
// to that address, as typing it would; links already given to words stay.
void markAddresses(AttributedString& text);

// Whether a link over `text` was made from the address it shows (so it
// follows that text as it is edited), rather than given to other words.
bool isAutomatic(const QString& url, QStringView text);

// Whether a link may be handed to the desktop: only http and https
// addresses with a host, and mailto addresses. Never a local file, a
// script, a program or a desktop entry.
bool isOpenable(const QUrl& url);

} // namespace links
} // namespace quorrin
