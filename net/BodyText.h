// Turning a response body into text: the charset of the Content-Type header, replaced by an HTML
// page's meta declaration or an XML document's encoding declaration. A missing or unknown charset
// maps every byte to the character of the same number (U+0000-U+00FF).
#pragma once

#include <QByteArray>
#include <QString>

namespace quillorn {

// The charset the body declares for itself: for HTML types a meta element (charset, or the
// Content-Type of an http-equiv element), for XML types the declaration's encoding. Empty when
// the type is neither or nothing is declared.
QByteArray DeclaredCharset(const QByteArray& contentType, const QByteArray& body);

// The "charset" parameter of a Content-Type value, unquoted; empty when absent.
QByteArray CharsetParameter(const QByteArray& contentType);

// The body decoded as the final response's charset: the declaration in the body when there is one,
// else the header's parameter.
QString DecodeBody(const QByteArray& contentType, const QByteArray& body);

// body decoded by the named charset; bytes the charset does not map become U+FFFD. An empty or
// unknown name maps bytes 0-255 to U+0000-U+00FF.
QString DecodeCharset(const QByteArray& charset, const QByteArray& body);

}  // namespace quillorn
