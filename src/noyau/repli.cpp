#include "noyau/repli.h"

#include <QHash>

#include <string>

namespace zapo::inline noyau {

namespace {

// Letters that canonical decomposition leaves whole.
QString sans_ligature(QChar c) {
    switch (c.unicode()) {
    case 0x0153: // œ
        return QStringLiteral("oe");
    case 0x00E6: // æ
        return QStringLiteral("ae");
    case 0x00DF: // ß
        return QStringLiteral("ss");
    case 0x0142: // ł
        return QStringLiteral("l");
    case 0x00F8: // ø
        return QStringLiteral("o");
    case 0x2019: // ’ as the plain apostrophe titles also use
        return QStringLiteral("'");
    default:
        return QString(c);
    }
}

} // namespace

namespace {

QString replier_entier(const QString& texte) {
    // Lower case first: the ligatures' capitals fold to the lower ones handled below;
    // and again after, for capitals that only decomposition reveals (𝐀 gives A).
    const QString decompose = texte.toLower().normalized(QString::NormalizationForm_KD).toLower();
    QString r;
    r.reserve(decompose.size());
    for (const QChar c : decompose) {
        if (c.category() == QChar::Mark_NonSpacing)
            continue;
        if (c.unicode() < 0x80)
            r.append(c);
        else
            r.append(sans_ligature(c));
    }
    return r;
}

} // namespace

QString replier(const QString& texte) {
    // Letter by letter, each accented letter folded once per thread and then
    // remembered: thirty thousand titles are folded at each reading of the base.
    thread_local QHash<char16_t, QString> deja;
    // A plain buffer: appending to a QString letter by letter costs more than the folding.
    thread_local std::u16string r;
    r.clear();
    r.reserve(std::size_t(texte.size()));
    for (const QChar c : texte) {
        const char16_t u = c.unicode();
        if (u < 0x80) {
            r.push_back(u >= u'A' && u <= u'Z' ? char16_t(u + (u'a' - u'A')) : u);
            continue;
        }
        // Pairs and combining marks depend on their neighbours: the whole text is folded at once.
        if (c.isSurrogate() || c.category() == QChar::Mark_NonSpacing)
            return replier_entier(texte);
        auto it = deja.constFind(u);
        if (it == deja.cend())
            it = deja.insert(u, replier_entier(QString(c)));
        r.append(reinterpret_cast<const char16_t*>(it->constData()), std::size_t(it->size()));
    }
    return QString(reinterpret_cast<const QChar*>(r.data()), qsizetype(r.size()));
}

} // namespace zapo::inline noyau
