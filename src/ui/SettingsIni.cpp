#include "ui/SettingsIni.h"

#include <QByteArray>
#include <QList>
#include <charconv>

#include "report/QtWholeFile.h"

namespace {

// The value of a hex digit, or -1.
int HexValue(QChar c) {
    if (c >= u'0' && c <= u'9') return c.unicode() - u'0';
    if (c >= u'a' && c <= u'f') return c.unicode() - u'a' + 10;
    if (c >= u'A' && c <= u'F') return c.unicode() - u'A' + 10;
    return -1;
}

// The escape after a backslash at text[i]; i moves past it.
QChar Unescaped(const QString& text, qsizetype& i) {
    const QChar c = text[i++];
    switch (c.unicode()) {
        case u'a':
            return u'\a';
        case u'b':
            return u'\b';
        case u'f':
            return u'\f';
        case u'n':
            return u'\n';
        case u'r':
            return u'\r';
        case u't':
            return u'\t';
        case u'v':
            return u'\v';
        case u'x': {
            char16_t code = 0;
            while (i < text.size() && HexValue(text[i]) >= 0)
                code = static_cast<char16_t>(code * 16 + HexValue(text[i++]));
            return QChar(code);
        }
        default:
            break;
    }
    if (c >= u'0' && c <= u'7') {
        char16_t code = static_cast<char16_t>(c.unicode() - u'0');
        for (int digits = 1; digits < 3 && i < text.size() && text[i] >= u'0' && text[i] <= u'7'; ++digits)
            code = static_cast<char16_t>(code * 8 + (text[i++].unicode() - u'0'));
        return QChar(code);
    }
    return c;
}

}  // namespace

IniSection ReadIniSection(const QString& path, const QString& section) {
    IniSection values;
    QByteArray bytes;
    if (!ReadFileWhole(path, bytes)) return values;
    const QString header = QLatin1Char('[') + section + QLatin1Char(']');
    bool inSection = false;
    for (const QString& rawLine : QString::fromUtf8(bytes).split(QLatin1Char('\n'))) {
        const QString line = rawLine.trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            inSection = line == header;
            continue;
        }
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (!inSection || equals <= 0 || line.startsWith(QLatin1Char(';'))) continue;
        values.insert(line.left(equals).trimmed(), line.mid(equals + 1).trimmed());
    }
    return values;
}

bool WriteIniSection(const QString& path, const QString& section, const IniSection& values) {
    QString text = QLatin1Char('[') + section + QStringLiteral("]\n");
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        text += it.key() + QLatin1Char('=') + it.value() + QLatin1Char('\n');
    return WriteFileWhole(path, text.toUtf8()).Written();
}

QStringList IniStringList(const QString& text) {
    QStringList items;
    QString item;
    // The item up to its last character that is no unquoted blank: blanks
    // around an unquoted item are dropped.
    qsizetype kept = 0;
    bool quoted = false;
    qsizetype i = 0;
    const auto skipBlanks = [&] {
        while (i < text.size() && text[i].isSpace())
            ++i;
    };
    skipBlanks();
    while (i < text.size()) {
        const QChar c = text[i];
        if (c == u'"') {
            quoted = !quoted;
            kept = item.size();
            ++i;
        } else if (c == u'\\' && i + 1 < text.size()) {
            ++i;
            item += Unescaped(text, i);
            kept = item.size();
        } else if (!quoted && c == u',') {
            item.truncate(kept);
            items << item;
            item.clear();
            kept = 0;
            ++i;
            skipBlanks();
        } else if (!quoted && c == u';') {
            break;
        } else {
            item += c;
            if (quoted || !c.isSpace()) kept = item.size();
            ++i;
        }
    }
    item.truncate(kept);
    items << item;
    if (items.size() == 1 && items.front() == QLatin1String("@Invalid()")) return {};
    for (QString& s : items)
        if (s.startsWith(QLatin1String("@@"))) s.remove(0, 1);
    return items;
}

QString IniListText(const QStringList& items) {
    if (items.isEmpty()) return QStringLiteral("@Invalid()");
    QStringList quoted;
    for (const QString& item : items) {
        const QString s = item.startsWith(QLatin1Char('@')) ? QLatin1Char('@') + item : item;
        QString out = QStringLiteral("\"");
        for (qsizetype i = 0; i < s.size(); ++i) {
            const QChar c = s[i];
            if (c == u'"' || c == u'\\') {
                out += QLatin1Char('\\');
                out += c;
            } else if (c == u'\n') {
                out += QLatin1String("\\n");
            } else if (c == u'\r') {
                out += QLatin1String("\\r");
            } else if (c.unicode() < 0x20) {
                out += QLatin1String("\\x") + QString::number(c.unicode(), 16);
                // A hex digit right after would be read as part of the code:
                // the quotes are closed and opened again between them.
                if (i + 1 < s.size() && HexValue(s[i + 1]) >= 0) out += QLatin1String("\"\"");
            } else {
                out += c;
            }
        }
        quoted << out + QLatin1Char('"');
    }
    return quoted.join(QLatin1String(", "));
}

double IniDouble(const QString& text, double fallback) {
    bool ok = false;
    const double value = text.toDouble(&ok);
    return ok ? value : fallback;
}

QString IniDoubleText(double value) {
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, value).ptr;
    return QString::fromLatin1(text, end - text);
}

bool IniBool(const QString& text) {
    return !(text.isEmpty() || text == QLatin1String("0") ||
             text.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0);
}

QString IniBoolText(bool value) {
    return value ? QStringLiteral("true") : QStringLiteral("false");
}
