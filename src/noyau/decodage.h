#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

class QIODevice;

namespace zapo::inline noyau {

// Turns a fetched page's bytes into text the way a browser would: a byte-order
// mark, else the charset of the Content-Type header, else a <meta> charset near
// the top of the page, else UTF-8 when the bytes are valid UTF-8, else
// windows-1252. ISO-8859-1 and US-ASCII labels are read as windows-1252, as
// browsers do (sites labelled Latin-1 use its extra characters: "œ", "€", "’").
QString decoder_page(const QByteArray& octets, QByteArrayView type_contenu = {});

// The same for bytes kept in a device (a temporary file), read from where it
// stands in pieces: only the text is ever held whole.
QString decoder_page(QIODevice& octets, QByteArrayView type_contenu = {});

// The charset parameter of a Content-Type value ("text/html; charset=ISO-8859-1"),
// lower case, without quotes; empty when there is none.
QByteArray charset_du_type(QByteArrayView type_contenu);

// The charset a <meta> tag declares within the first bytes of the page; empty
// when there is none.
QByteArray charset_meta(QByteArrayView octets);

// A text as it may be stored: the C1 characters (U+0080 to U+009F, what a
// windows-1252 byte becomes when read as Latin-1) are the windows-1252
// characters they stand for, the five bytes it leaves unassigned go; a carriage
// return is a space (nothing before a line feed); every other control
// character but tab and line feed goes, and so do the bidirectional
// embeddings, overrides and isolates. Any reader applies it to what it keeps.
QString nettoyer_texte(QStringView texte);

// A character that steers a terminal or the direction of the text around it
// rather than being shown: C0 and C1 controls, DEL, and the bidirectional
// embeddings, overrides and isolates (U+202A to U+202E, U+2066 to U+2069). The
// marks U+200E, U+200F and U+061C are not: like a letter, they set the direction
// of nothing but themselves and the neutral characters beside them.
constexpr bool caractere_pilote(char16_t c) {
    return c < 0x20 || (c >= 0x7F && c < 0xA0) || (c >= 0x202A && c <= 0x202E) ||
           (c >= 0x2066 && c <= 0x2069);
}

// A stored text as a window shows it: each such character but tab and line
// feed is a space, so that a base filled by an older version, or by hand,
// shows its texts inert. The same text (shared) when there is none.
QString texte_inerte(const QString& texte);

} // namespace zapo::inline noyau
