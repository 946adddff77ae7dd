#include "service/NpfText.h"

#include <QJsonObject>
#include <QList>
#include <QStringList>
#include <QStringView>
#include <algorithm>
#include <array>
#include <optional>
#include <tuple>
#include <utility>

namespace {

// The service takes no more inline links than this in one post.
constexpr int kNpfLinkLimit = 100;
constexpr char32_t kLastCodePoint = 0x10FFFF;

enum class Style { Bold, Italic, Link }; // in the order their names sort

QString StyleName(Style style) {
    switch (style) {
    case Style::Bold:
        return QStringLiteral("bold");
    case Style::Italic:
        return QStringLiteral("italic");
    case Style::Link:
        break;
    }
    return QStringLiteral("link");
}

struct Range {
    qsizetype Start;
    qsizetype End;
    Style Kind;
    QString Url;
};

// The caption without its markup; block ends and ranges are UTF-16 offsets into Text.
struct Markup {
    QString Text;
    QList<qsizetype> Breaks;
    QList<Range> Ranges;
};

bool IsAsciiLetter(QChar c) {
    const char16_t u = c.unicode();
    return (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z');
}

// Tag syntax knows only ASCII white space.
bool IsHtmlSpace(QChar c) {
    const char16_t u = c.unicode();
    return u == u' ' || u == u'\t' || u == u'\n' || u == u'\r' || u == u'\f';
}

// No-break spaces hold words together, so a long line is never cut at one.
bool IsBreakable(QChar c) {
    const char16_t u = c.unicode();
    return c.isSpace() && u != u'\u00A0' && u != u'\u2007' && u != u'\u202F';
}

int DigitValue(QChar c, int base) {
    const char16_t u = c.unicode();
    int value = -1;
    if (u >= u'0' && u <= u'9')
        value = u - u'0';
    else if (u >= u'a' && u <= u'f')
        value = u - u'a' + 10;
    else if (u >= u'A' && u <= u'F')
        value = u - u'A' + 10;
    return value < base ? value : -1;
}

struct Decoded {
    QString Text;
    qsizetype Length;
};

std::optional<Decoded> NumericReference(QStringView s) {
    qsizetype i = 2; // past "&#"
    const bool hex = i < s.size() && (s[i] == u'x' || s[i] == u'X');
    if (hex)
        ++i;
    const int base = hex ? 16 : 10;
    const qsizetype digits = i;
    char32_t value = 0;
    for (int digit = 0; i < s.size() && (digit = DigitValue(s[i], base)) >= 0; ++i)
        value = std::min<char32_t>(value * base + digit, kLastCodePoint + 1); // no overflow
    if (i == digits || i >= s.size() || s[i] != u';')
        return std::nullopt;
    if (value == 0 || value > kLastCodePoint || (value >= 0xD800 && value <= 0xDFFF))
        return std::nullopt;
    return Decoded{QString::fromUcs4(&value, 1), i + 1};
}

// A character reference at the start of s, or nothing when it is not one we know.
std::optional<Decoded> CharacterReference(QStringView s) {
    struct Named {
        QStringView Name;
        char16_t Character;
    };
    static constexpr std::array<Named, 6> kNamed{{{u"&amp;", u'&'},
                                                  {u"&lt;", u'<'},
                                                  {u"&gt;", u'>'},
                                                  {u"&quot;", u'"'},
                                                  {u"&apos;", u'\''},
                                                  {u"&nbsp;", u'\u00A0'}}};
    if (s.startsWith(u"&#"))
        return NumericReference(s);
    for (const Named& named : kNamed)
        if (s.startsWith(named.Name))
            return Decoded{QString(QChar(named.Character)), named.Name.size()};
    return std::nullopt;
}

QString DecodeReferences(QStringView s) {
    QString decoded;
    decoded.reserve(s.size());
    for (qsizetype i = 0; i < s.size();) {
        if (s[i] == u'&') {
            if (const std::optional<Decoded> reference = CharacterReference(s.sliced(i))) {
                decoded += reference->Text;
                i += reference->Length;
                continue;
            }
        }
        decoded += s[i++];
    }
    return decoded;
}

struct Tag {
    QString Name; // lower case
    bool Closing = false;
    QString Href; // empty: none
    qsizetype Length = 0;
};

// The tag at the start of s, read the way a browser's tokenizer reads it; nothing when s does
// not start a tag or the tag is never closed.
std::optional<Tag> ReadTag(QStringView s) {
    Tag tag;
    qsizetype i = 1; // past '<'
    if (i < s.size() && s[i] == u'/') {
        tag.Closing = true;
        ++i;
    }
    if (i >= s.size() || !IsAsciiLetter(s[i]))
        return std::nullopt;
    const qsizetype nameStart = i;
    while (i < s.size() && !IsHtmlSpace(s[i]) && s[i] != u'/' && s[i] != u'>')
        ++i;
    tag.Name = s.sliced(nameStart, i - nameStart).toString().toLower();
    bool hrefSeen = false;
    while (true) {
        while (i < s.size() && (IsHtmlSpace(s[i]) || s[i] == u'/'))
            ++i;
        if (i >= s.size())
            return std::nullopt;
        if (s[i] == u'>') {
            tag.Length = i + 1;
            return tag;
        }
        const qsizetype attributeStart = i++;
        while (i < s.size() && !IsHtmlSpace(s[i]) && s[i] != u'/' && s[i] != u'>' && s[i] != u'=')
            ++i;
        const QStringView attribute = s.sliced(attributeStart, i - attributeStart);
        while (i < s.size() && IsHtmlSpace(s[i]))
            ++i;
        QStringView value;
        if (i < s.size() && s[i] == u'=') {
            ++i;
            while (i < s.size() && IsHtmlSpace(s[i]))
                ++i;
            if (i < s.size() && (s[i] == u'"' || s[i] == u'\'')) {
                const qsizetype close = s.indexOf(s[i], i + 1);
                if (close < 0)
                    return std::nullopt;
                value = s.sliced(i + 1, close - i - 1);
                i = close + 1;
            } else {
                const qsizetype valueStart = i;
                while (i < s.size() && !IsHtmlSpace(s[i]) && s[i] != u'>')
                    ++i;
                value = s.sliced(valueStart, i - valueStart);
            }
        }
        // Browsers keep the first of repeated attributes.
        if (!hrefSeen && attribute.compare(u"href", Qt::CaseInsensitive) == 0) {
            hrefSeen = true;
            tag.Href = DecodeReferences(value).trimmed();
        }
    }
}

class MarkupReader {
public:
    Markup Read(QStringView caption) {
        m_lastAngleClose = caption.lastIndexOf(u'>');
        for (qsizetype i = 0; i < caption.size();) {
            const QChar c = caption[i];
            if (c == u'\r' || c == u'\n') {
                EndBlock();
                i += c == u'\r' && i + 1 < caption.size() && caption[i + 1] == u'\n' ? 2 : 1;
            } else if (c == u'&') {
                const std::optional<Decoded> reference = CharacterReference(caption.sliced(i));
                m_markup.Text += reference ? reference->Text : QString(c);
                i += reference ? reference->Length : 1;
            } else if (c == u'<' && i < m_lastAngleClose) {
                i += ReadAngle(caption.sliced(i));
            } else {
                m_markup.Text += c;
                ++i;
            }
        }
        for (Opener& opener : m_openers)
            while (!opener.Starts.isEmpty())
                AddRange(opener.Starts.takeLast(), opener.Kind);
        CloseLink();
        return std::move(m_markup);
    }

private:
    struct Opener {
        QLatin1String Name;
        Style Kind;
        QList<qsizetype> Starts;
    };

    // How much of s, which starts with '<', was markup; a '<' that is no markup is text.
    qsizetype ReadAngle(QStringView s) {
        if (s.startsWith(u"<!--")) {
            const qsizetype end = m_commentsClose ? s.indexOf(u"-->", 4) : -1;
            if (end >= 0)
                return end + 3;
            m_commentsClose = false; // what follows has no "-->" either
        } else if (const std::optional<Tag> tag = ReadTag(s)) {
            Apply(*tag);
            return tag->Length;
        }
        m_markup.Text += s.front();
        return 1;
    }

    void Apply(const Tag& tag) {
        if (tag.Name == QLatin1String("br") || tag.Name == QLatin1String("p")) {
            EndBlock();
            return;
        }
        if (tag.Name == QLatin1String("a")) {
            CloseLink(); // links do not nest: a new one ends the one before
            if (!tag.Closing && !tag.Href.isEmpty())
                m_link = Range{m_markup.Text.size(), 0, Style::Link, tag.Href};
            return;
        }
        for (Opener& opener : m_openers) {
            if (tag.Name != opener.Name)
                continue;
            if (!tag.Closing)
                opener.Starts.append(m_markup.Text.size());
            else if (!opener.Starts.isEmpty())
                AddRange(opener.Starts.takeLast(), opener.Kind);
        }
    }

    void EndBlock() { m_markup.Breaks.append(m_markup.Text.size()); }

    void AddRange(qsizetype start, Style kind, const QString& url = {}) {
        if (start < m_markup.Text.size())
            m_markup.Ranges.append(Range{start, m_markup.Text.size(), kind, url});
    }

    void CloseLink() {
        if (m_link)
            AddRange(m_link->Start, Style::Link, m_link->Url);
        m_link.reset();
    }

    Markup m_markup;
    std::array<Opener, 4> m_openers{{{QLatin1String("b"), Style::Bold, {}},
                                     {QLatin1String("strong"), Style::Bold, {}},
                                     {QLatin1String("i"), Style::Italic, {}},
                                     {QLatin1String("em"), Style::Italic, {}}}};
    std::optional<Range> m_link;
    // Without these, a long caption full of lone '<' would be scanned to its end once per '<'.
    qsizetype m_lastAngleClose = -1;
    bool m_commentsClose = true;
};

struct Piece {
    qsizetype Start;
    qsizetype End;
};

bool IsSurrogatePairAt(const QString& text, qsizetype i, qsizetype end) {
    return i + 1 < end && text[i].isHighSurrogate() && text[i + 1].isLowSurrogate();
}

// Cuts [start, end) into pieces of at most kNpfTextBlockLimit code points, each ending after a
// run of blanks where one is in reach so that words stay whole.
void SplitLine(const QString& text, qsizetype start, qsizetype end, QList<Piece>& pieces) {
    while (true) {
        qsizetype limit = start;
        for (int count = 0; limit < end && count < kNpfTextBlockLimit; ++count)
            limit += IsSurrogatePairAt(text, limit, end) ? 2 : 1;
        if (limit >= end) {
            pieces.append({start, end});
            return;
        }
        qsizetype cut = limit;
        for (qsizetype p = limit; p > start; --p) {
            if (!IsBreakable(text[p - 1]) || IsBreakable(text[p]))
                continue;
            qsizetype runStart = p - 1;
            while (runStart > start && IsBreakable(text[runStart - 1]))
                --runStart;
            // Leading blanks alone would make a piece with no words in it.
            if (runStart > start)
                cut = p;
            break;
        }
        pieces.append({start, cut});
        start = cut;
    }
}

bool IsBlankOnly(QStringView text) {
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.isSpace(); });
}

QList<Piece> Pieces(const Markup& markup) {
    QList<Piece> pieces;
    qsizetype start = 0;
    QList<qsizetype> ends = markup.Breaks;
    ends.append(markup.Text.size());
    for (const qsizetype end : ends) {
        if (!IsBlankOnly(QStringView(markup.Text).sliced(start, end - start)))
            SplitLine(markup.Text, start, end, pieces);
        start = end;
    }
    return pieces;
}

// Bold and italic ranges that overlap or touch become one; links stay as they are.
QList<Range> Combined(QList<Range> ranges) {
    std::sort(ranges.begin(), ranges.end(), [](const Range& a, const Range& b) {
        return std::tie(a.Kind, a.Start, a.End) < std::tie(b.Kind, b.Start, b.End);
    });
    QList<Range> combined;
    for (const Range& range : ranges) {
        if (!combined.isEmpty() && range.Kind != Style::Link &&
            combined.last().Kind == range.Kind && range.Start <= combined.last().End)
            combined.last().End = std::max(combined.last().End, range.End);
        else
            combined.append(range);
    }
    return combined;
}

// Code points before each UTF-16 offset of text.
QList<qsizetype> CodePointOffsets(const QString& text) {
    QList<qsizetype> offsets(text.size() + 1, 0);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const bool pairEnd = i > 0 && text[i].isLowSurrogate() && text[i - 1].isHighSurrogate();
        offsets[i + 1] = offsets[i] + (pairEnd ? 0 : 1);
    }
    return offsets;
}

QJsonObject FormattingJson(const Range& range) {
    QJsonObject json{{QStringLiteral("start"), range.Start},
                     {QStringLiteral("end"), range.End},
                     {QStringLiteral("type"), StyleName(range.Kind)}};
    if (range.Kind == Style::Link)
        json.insert(QStringLiteral("url"), range.Url);
    return json;
}

} // namespace

QJsonArray NpfTextBlocks(const QString& caption) {
    const Markup markup = MarkupReader().Read(caption);
    const QList<Piece> pieces = Pieces(markup);
    const QList<qsizetype> codePoints = CodePointOffsets(markup.Text);

    // Each range clipped to the pieces it covers, in code points from the piece's start.
    QList<QList<Range>> formatting(pieces.size());
    for (const Range& range : Combined(markup.Ranges)) {
        auto piece = std::partition_point(pieces.cbegin(), pieces.cend(),
                                          [&](const Piece& p) { return p.End <= range.Start; });
        for (; piece != pieces.cend() && piece->Start < range.End; ++piece) {
            const qsizetype start = std::max(range.Start, piece->Start);
            const qsizetype end = std::min(range.End, piece->End);
            const qsizetype base = codePoints[piece->Start];
            formatting[piece - pieces.cbegin()].append(
                Range{codePoints[start] - base, codePoints[end] - base, range.Kind, range.Url});
        }
    }

    QJsonArray blocks;
    int links = 0;
    for (qsizetype i = 0; i < pieces.size(); ++i) {
        QList<Range>& ranges = formatting[i];
        std::sort(ranges.begin(), ranges.end(), [](const Range& a, const Range& b) {
            return std::tie(a.Start, a.End, a.Kind) < std::tie(b.Start, b.End, b.Kind);
        });
        QJsonArray rangesJson;
        for (const Range& range : ranges)
            if (range.Kind != Style::Link || ++links <= kNpfLinkLimit)
                rangesJson.append(FormattingJson(range));
        const Piece& piece = pieces[i];
        QJsonObject block{
            {QStringLiteral("type"), QStringLiteral("text")},
            {QStringLiteral("text"), markup.Text.sliced(piece.Start, piece.End - piece.Start)}};
        if (!rangesJson.isEmpty())
            block.insert(QStringLiteral("formatting"), rangesJson);
        blocks.append(block);
    }
    return blocks;
}

QString NpfTags(const QString& tags) {
    QStringList items;
    QString item;
    for (qsizetype i = 0; i < tags.size(); ++i) {
        const QChar c = tags[i];
        if (c == u',') {
            items.append(item);
            item.clear();
            continue;
        }
        const qsizetype close = c == u'"' ? tags.indexOf(u'"', i + 1) : -1;
        if (close < 0) {
            item += c;
            continue;
        }
        // A quoted stretch is one piece of its item, commas and all.
        item += QStringView(tags).sliced(i, close - i + 1);
        i = close;
    }
    items.append(item);

    QStringList kept;
    for (const QString& raw : std::as_const(items)) {
        QString text = raw.trimmed();
        if (text.size() >= 2 && text.startsWith(u'"') && text.endsWith(u'"')) {
            text = text.sliced(1, text.size() - 2);
            text.replace(u',', u' ');
            text = text.simplified();
        }
        if (!text.isEmpty())
            kept.append(text);
    }
    return kept.join(u',');
}
