#include "net/BodyText.h"

#include <QList>

#include "net/CharsetDecoder.h"

namespace quillorn {
namespace {

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f';
}

QByteArray Unquote(QByteArray value) {
    value = value.trimmed();
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
        value = value.mid(1, value.size() - 2);
    return value.trimmed();
}

QByteArray MediaType(const QByteArray& contentType) {
    const qsizetype semicolon = contentType.indexOf(';');
    return (semicolon < 0 ? contentType : contentType.left(semicolon)).trimmed().toLower();
}

bool IsHtmlType(const QByteArray& type) {
    return type == "text/html" || type == "text/html-sandboxed" || type == "application/xhtml+xml";
}

bool IsXmlType(const QByteArray& type) {
    if (type == "application/xml" || type == "application/xml-external-parsed-entity" ||
        type == "application/xml-dtd")
        return true;
    return !type.startsWith("text/") && type.endsWith("+xml");
}

// The attributes of one tag, from just after its name to its '>': name=value pairs with double,
// single or no quotes.
struct TagAttributes {
    QByteArray charset;
    QByteArray httpEquiv;
    QByteArray content;
};

TagAttributes ReadAttributes(const QByteArray& tag) {
    TagAttributes attributes;
    qsizetype i = 0;
    const qsizetype n = tag.size();
    while (i < n) {
        while (i < n && (IsSpace(tag[i]) || tag[i] == '/'))
            ++i;
        const qsizetype nameStart = i;
        while (i < n && !IsSpace(tag[i]) && tag[i] != '=' && tag[i] != '/')
            ++i;
        const QByteArray name = tag.mid(nameStart, i - nameStart).toLower();
        while (i < n && IsSpace(tag[i]))
            ++i;
        QByteArray value;
        if (i < n && tag[i] == '=') {
            ++i;
            while (i < n && IsSpace(tag[i]))
                ++i;
            if (i < n && (tag[i] == '"' || tag[i] == '\'')) {
                const char quote = tag[i++];
                const qsizetype close = tag.indexOf(quote, i);
                const qsizetype end = close < 0 ? n : close;
                value = tag.mid(i, end - i);
                i = end + 1;
            } else {
                const qsizetype valueStart = i;
                while (i < n && !IsSpace(tag[i]))
                    ++i;
                value = tag.mid(valueStart, i - valueStart);
            }
        }
        if (name.isEmpty()) {
            ++i;  // a stray character: step over it
            continue;
        }
        if (name == "charset")
            attributes.charset = Unquote(value);
        if (name == "http-equiv")
            attributes.httpEquiv = value.trimmed().toLower();
        if (name == "content")
            attributes.content = value;
    }
    return attributes;
}

// Where the next "<meta" (in any letter case) starts, or -1.
qsizetype FindMeta(const QByteArray& body, qsizetype from) {
    while (true) {
        const qsizetype at = body.indexOf('<', from);
        if (at < 0 || at + 5 > body.size())
            return -1;
        if (qstrnicmp(body.constData() + at + 1, "meta", 4) == 0)
            return at;
        from = at + 1;
    }
}

// The first charset a meta element declares, directly or through an http-equiv Content-Type
// (which, merged into the response headers, replaces the header's charset).
QByteArray HtmlMetaCharset(const QByteArray& body) {
    qsizetype from = 0;
    while (true) {
        const qsizetype at = FindMeta(body, from);
        if (at < 0)
            return {};
        const qsizetype nameEnd = at + 5;
        if (nameEnd < body.size() && !IsSpace(body[nameEnd]) && body[nameEnd] != '/') {
            from = nameEnd;  // "<metadata" and the like
            continue;
        }
        const qsizetype close = body.indexOf('>', nameEnd);
        const qsizetype end = close < 0 ? body.size() : close;
        const TagAttributes attributes = ReadAttributes(body.mid(nameEnd, end - nameEnd));
        if (!attributes.charset.isEmpty())
            return attributes.charset;
        if (attributes.httpEquiv == "content-type") {
            const QByteArray charset = CharsetParameter(attributes.content);
            if (!charset.isEmpty())
                return charset;
        }
        from = end;
    }
}

QByteArray XmlDeclarationEncoding(const QByteArray& body) {
    qsizetype start = body.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    while (start < body.size() && IsSpace(body[start]))
        ++start;
    if (body.mid(start, 5) != "<?xml")
        return {};
    const qsizetype end = body.indexOf("?>", start);
    if (end < 0)
        return {};
    const QByteArray declaration = body.mid(start + 5, end - start - 5);
    const qsizetype at = declaration.indexOf("encoding");
    if (at < 0)
        return {};
    qsizetype i = at + 8;
    while (i < declaration.size() && IsSpace(declaration[i]))
        ++i;
    if (i >= declaration.size() || declaration[i] != '=')
        return {};
    ++i;
    while (i < declaration.size() && IsSpace(declaration[i]))
        ++i;
    if (i >= declaration.size() || (declaration[i] != '"' && declaration[i] != '\''))
        return {};
    const char quote = declaration[i];
    const qsizetype close = declaration.indexOf(quote, i + 1);
    if (close < 0)
        return {};
    return declaration.mid(i + 1, close - i - 1).trimmed();
}

// A name the system's converter may be handed: plain charset characters only, so that no "//"
// option or path reaches it.
bool SafeCharsetName(const QByteArray& name) {
    if (name.isEmpty() || name.size() > 40)
        return false;
    for (const char c : name) {
        const bool ok = (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_' ||
                        c == '.' || c == ':' || c == '+';
        if (!ok)
            return false;
    }
    return true;
}

}  // namespace

QByteArray CharsetParameter(const QByteArray& contentType) {
    const QList<QByteArray> parts = contentType.split(';');
    for (qsizetype i = 1; i < parts.size(); ++i) {
        const QByteArray part = parts[i].trimmed();
        const qsizetype equals = part.indexOf('=');
        if (equals < 0)
            continue;
        if (part.left(equals).trimmed().toLower() == "charset")
            return Unquote(part.mid(equals + 1));
    }
    return {};
}

QByteArray DeclaredCharset(const QByteArray& contentType, const QByteArray& body) {
    const QByteArray type = MediaType(contentType);
    if (IsHtmlType(type))
        return HtmlMetaCharset(body);
    if (IsXmlType(type))
        return XmlDeclarationEncoding(body);
    return {};
}

QString DecodeBody(const QByteArray& contentType, const QByteArray& body) {
    QByteArray charset = DeclaredCharset(contentType, body);
    if (charset.isEmpty())
        charset = CharsetParameter(contentType);
    return DecodeCharset(charset, body);
}

QString DecodeCharset(const QByteArray& charset, const QByteArray& body) {
    const QByteArray name = charset.trimmed().toLower();
    if (name == "utf-8" || name == "utf8")
        return QString::fromUtf8(body);
    if (name == "iso-8859-1" || name == "latin1" || name == "us-ascii" || !SafeCharsetName(name))
        return QString::fromLatin1(body);
    if (auto text = DecodeWithSystemConverter(name, body))
        return *std::move(text);
    return QString::fromLatin1(body);
}

}  // namespace quillorn
