#include "noyau/decodage.h"

#include <QIODevice>
#include <QStringDecoder>

#include <algorithm>
#include <array>

namespace zapo::inline noyau {

namespace {

// Browsers look for a <meta> charset only near the top; so do we.
constexpr qsizetype limite_meta = 4096;

bool blanc(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

char minuscule(char c) {
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

QByteArray nettoyer(QByteArrayView v) {
    qsizetype d = 0;
    qsizetype f = v.size();
    while (d < f && blanc(v[d]))
        ++d;
    while (f > d && blanc(v[f - 1]))
        --f;
    QByteArray r(v.data() + d, f - d);
    for (char& c : r)
        c = minuscule(c);
    return r;
}

bool commence_par(QByteArrayView texte, qsizetype i, QByteArrayView motif) {
    if (texte.size() - i < motif.size())
        return false;
    for (qsizetype k = 0; k < motif.size(); ++k)
        if (minuscule(texte[i + k]) != motif[k])
            return false;
    return true;
}

// Value after "charset=" in a Content-Type value or a meta's content attribute.
QByteArray extraire_charset(QByteArrayView v) {
    for (qsizetype i = 0; i + 7 <= v.size(); ++i) {
        if (!commence_par(v, i, "charset"))
            continue;
        qsizetype j = i + 7;
        while (j < v.size() && blanc(v[j]))
            ++j;
        if (j >= v.size() || v[j] != '=')
            continue;
        ++j;
        while (j < v.size() && blanc(v[j]))
            ++j;
        if (j >= v.size())
            return {};
        if (v[j] == '"' || v[j] == '\'') {
            const char guillemet = v[j];
            const qsizetype fin = v.indexOf(guillemet, j + 1);
            if (fin < 0)
                return {};
            return nettoyer(v.sliced(j + 1, fin - j - 1));
        }
        qsizetype fin = j;
        while (fin < v.size() && !blanc(v[fin]) && v[fin] != ';')
            ++fin;
        return nettoyer(v.sliced(j, fin - j));
    }
    return {};
}

// windows-1252's 0x80..0x9F; the five unassigned bytes keep their C1 value.
constexpr std::array<char16_t, 32> cp1252_haut = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

QString depuis_cp1252(QByteArrayView o) {
    QString r(o.size(), Qt::Uninitialized);
    char16_t* d = reinterpret_cast<char16_t*>(r.data());
    for (qsizetype i = 0; i < o.size(); ++i) {
        const auto b = static_cast<unsigned char>(o[i]);
        d[i] = b >= 0x80 && b < 0xA0 ? cp1252_haut[b - 0x80] : char16_t(b);
    }
    return r;
}

// What nettoyer_texte does with one character: kept, changed, or dropped (-1).
int propre(char16_t c, char16_t suivant) {
    if (c >= 0x80 && c < 0xA0) {
        const char16_t v = cp1252_haut[c - 0x80];
        return v == c ? -1 : v;
    }
    if (c == u'\r')
        return suivant == u'\n' ? -1 : u' ';
    if (caractere_pilote(c) && c != u'\t' && c != u'\n')
        return -1;
    return c;
}

enum class famille { inconnue, utf8, cp1252, utf16le, utf16be, autre };

famille famille_de(const QByteArray& nom) {
    static const char* const utf8[] = {"utf-8",         "utf8",          "unicode-1-1-utf-8",
                                       "unicode11utf8", "unicode20utf8", "x-unicode20utf8"};
    static const char* const latin[] = {
        "ansi_x3.4-1968", "ascii",        "cp1252",   "cp819",      "csisolatin1",     "ibm819", "iso-8859-1",
        "iso-ir-100",     "iso8859-1",    "iso88591", "iso_8859-1", "iso_8859-1:1987", "l1",     "latin1",
        "us-ascii",       "windows-1252", "x-cp1252"};
    if (nom.isEmpty())
        return famille::inconnue;
    for (const char* n : utf8)
        if (nom == n)
            return famille::utf8;
    for (const char* n : latin)
        if (nom == n)
            return famille::cp1252;
    if (nom == "utf-16le" || nom == "utf-16")
        return famille::utf16le;
    if (nom == "utf-16be")
        return famille::utf16be;
    return QStringDecoder(nom.constData()).isValid() ? famille::autre : famille::inconnue;
}

QString decoder_avec(famille f, const QByteArray& nom, QByteArrayView o) {
    switch (f) {
    case famille::cp1252:
        return depuis_cp1252(o);
    case famille::utf8:
        return QStringDecoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless)(o);
    case famille::utf16le:
        return QStringDecoder(QStringConverter::Utf16LE, QStringConverter::Flag::Stateless)(o);
    case famille::utf16be:
        return QStringDecoder(QStringConverter::Utf16BE, QStringConverter::Flag::Stateless)(o);
    case famille::autre:
        return QStringDecoder(nom.constData(), QStringConverter::Flag::Stateless)(o);
    case famille::inconnue:
        break;
    }
    return {};
}

// One attribute of a tag: name lower case, value as written. `i` moves past it.
bool lire_attribut(QByteArrayView t, qsizetype& i, QByteArray& nom, QByteArray& valeur) {
    nom.clear();
    valeur.clear();
    while (i < t.size() && (blanc(t[i]) || t[i] == '/'))
        ++i;
    if (i >= t.size() || t[i] == '>')
        return false;
    while (i < t.size() && !blanc(t[i]) && t[i] != '=' && t[i] != '>' && t[i] != '/')
        nom += minuscule(t[i++]);
    while (i < t.size() && blanc(t[i]))
        ++i;
    if (i >= t.size() || t[i] != '=')
        return true;
    ++i;
    while (i < t.size() && blanc(t[i]))
        ++i;
    if (i < t.size() && (t[i] == '"' || t[i] == '\'')) {
        const char guillemet = t[i++];
        while (i < t.size() && t[i] != guillemet)
            valeur += t[i++];
        if (i < t.size())
            ++i;
    } else {
        while (i < t.size() && !blanc(t[i]) && t[i] != '>')
            valeur += t[i++];
    }
    return true;
}

} // namespace

QByteArray charset_du_type(QByteArrayView type_contenu) {
    const qsizetype pv = type_contenu.indexOf(';');
    if (pv < 0)
        return {};
    return extraire_charset(type_contenu.sliced(pv + 1));
}

QByteArray charset_meta(QByteArrayView octets) {
    const QByteArrayView t = octets.first(qMin(octets.size(), limite_meta));
    qsizetype i = 0;
    while ((i = t.indexOf('<', i)) >= 0) {
        if (commence_par(t, i, "<!--")) {
            const qsizetype fin = t.indexOf("-->", i + 4);
            if (fin < 0)
                return {};
            i = fin + 3;
            continue;
        }
        if (commence_par(t, i, "<meta") && i + 5 < t.size() && (blanc(t[i + 5]) || t[i + 5] == '/')) {
            i += 5;
            QByteArray nom, valeur, charset, contenu;
            bool type_contenu = false;
            while (lire_attribut(t, i, nom, valeur)) {
                if (nom == "charset")
                    charset = nettoyer(valeur);
                else if (nom == "http-equiv")
                    type_contenu = nettoyer(valeur) == "content-type";
                else if (nom == "content")
                    contenu = valeur;
            }
            if (!charset.isEmpty())
                return charset;
            if (type_contenu) {
                QByteArray c = extraire_charset(contenu);
                if (!c.isEmpty())
                    return c;
            }
            continue;
        }
        ++i;
    }
    return {};
}

QString nettoyer_texte(QStringView texte) {
    const char16_t* t = texte.utf16();
    const qsizetype n = texte.size();
    qsizetype i = 0;
    // Most texts are clean: they are copied without a second look.
    while (i < n && propre(t[i], i + 1 < n ? t[i + 1] : 0) == int(t[i]))
        ++i;
    if (i == n)
        return texte.toString();
    QString r;
    r.reserve(n);
    r.append(texte.first(i));
    for (; i < n; ++i)
        if (const int c = propre(t[i], i + 1 < n ? t[i + 1] : 0); c >= 0)
            r.append(QChar(char16_t(c)));
    return r;
}

QString texte_inerte(const QString& texte) {
    const auto pilote = [](QChar c) { return caractere_pilote(c.unicode()) && c != u'\t' && c != u'\n'; };
    const qsizetype i = std::find_if(texte.cbegin(), texte.cend(), pilote) - texte.cbegin();
    if (i == texte.size())
        return texte;
    QString r = texte;
    std::replace_if(r.begin() + i, r.end(), pilote, QChar(u' '));
    return r;
}

namespace {

// The bytes end inside a UTF-8 sequence (a stateful decoder keeps them silently).
bool utf8_inacheve(QByteArrayView fin) {
    for (qsizetype k = 1; k <= std::min<qsizetype>(4, fin.size()); ++k) {
        const auto b = static_cast<unsigned char>(fin[fin.size() - k]);
        if ((b & 0xC0) == 0x80)
            continue; // a continuation byte: look further back
        const int longueur = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 1;
        return longueur > k;
    }
    return false;
}

// Reads the device from `debut` in pieces through `f`, which is handed each one.
template <typename F> bool parcourir(QIODevice& d, qint64 debut, F&& f) {
    if (!d.seek(debut))
        return false;
    QByteArray morceau(64 * 1024, Qt::Uninitialized);
    for (;;) {
        const qint64 n = d.read(morceau.data(), morceau.size());
        if (n <= 0)
            return n == 0;
        f(QByteArrayView(morceau.constData(), n));
    }
}

QString decoder_flux(QIODevice& d, qint64 debut, famille f, const QByteArray& nom) {
    QString texte;
    texte.reserve(qsizetype(std::max<qint64>(0, d.size() - debut)));
    if (f == famille::cp1252) {
        parcourir(d, debut, [&](QByteArrayView m) { texte += depuis_cp1252(m); });
        return texte;
    }
    QStringDecoder dec = f == famille::utf8      ? QStringDecoder(QStringConverter::Utf8)
                         : f == famille::utf16le ? QStringDecoder(QStringConverter::Utf16LE)
                         : f == famille::utf16be ? QStringDecoder(QStringConverter::Utf16BE)
                                                 : QStringDecoder(nom.constData());
    parcourir(d, debut, [&](QByteArrayView m) { texte += dec.decode(m); });
    return texte;
}

} // namespace

QString decoder_page(QIODevice& d, QByteArrayView type_contenu) {
    const qint64 debut = d.pos();
    const QByteArray tete = d.peek(limite_meta);
    if (tete.startsWith("\xEF\xBB\xBF"))
        return decoder_flux(d, debut + 3, famille::utf8, {});
    if (tete.startsWith("\xFF\xFE"))
        return decoder_flux(d, debut + 2, famille::utf16le, {});
    if (tete.startsWith("\xFE\xFF"))
        return decoder_flux(d, debut + 2, famille::utf16be, {});

    const QByteArray du_type = charset_du_type(type_contenu);
    if (const famille f = famille_de(du_type); f != famille::inconnue)
        return decoder_flux(d, debut, f, du_type);

    const QByteArray meta = charset_meta(tete);
    if (famille f = famille_de(meta); f != famille::inconnue) {
        if (f == famille::utf16le || f == famille::utf16be)
            f = famille::utf8;
        return decoder_flux(d, debut, f, meta);
    }

    // UTF-8 when every byte fits, else windows-1252: the text is made again, never the bytes held.
    QStringDecoder utf8(QStringConverter::Utf8);
    QString texte;
    texte.reserve(qsizetype(std::max<qint64>(0, d.size() - debut)));
    QByteArray fin;
    parcourir(d, debut, [&](QByteArrayView m) {
        if (!utf8.hasError())
            texte += utf8.decode(m);
        fin = m.last(std::min<qsizetype>(4, m.size())).toByteArray();
    });
    if (!utf8.hasError() && !utf8_inacheve(fin))
        return texte;
    texte = QString();
    return decoder_flux(d, debut, famille::cp1252, {});
}

QString decoder_page(const QByteArray& octets, QByteArrayView type_contenu) {
    // A byte-order mark wins over any label.
    if (octets.startsWith("\xEF\xBB\xBF"))
        return decoder_avec(famille::utf8, {}, QByteArrayView(octets).sliced(3));
    if (octets.startsWith("\xFF\xFE"))
        return decoder_avec(famille::utf16le, {}, QByteArrayView(octets).sliced(2));
    if (octets.startsWith("\xFE\xFF"))
        return decoder_avec(famille::utf16be, {}, QByteArrayView(octets).sliced(2));

    const QByteArray du_type = charset_du_type(type_contenu);
    if (const famille f = famille_de(du_type); f != famille::inconnue)
        return decoder_avec(f, du_type, octets);

    const QByteArray meta = charset_meta(octets);
    if (famille f = famille_de(meta); f != famille::inconnue) {
        // A page read as bytes cannot be UTF-16, whatever its meta says.
        if (f == famille::utf16le || f == famille::utf16be)
            f = famille::utf8;
        return decoder_avec(f, meta, octets);
    }

    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    QString texte = utf8(octets);
    if (!utf8.hasError())
        return texte;
    return depuis_cp1252(octets);
}

} // namespace zapo::inline noyau
