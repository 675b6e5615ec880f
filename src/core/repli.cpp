#include "core/repli.h"

namespace zapo {

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

QString replier(const QString& texte) {
    // Lower case first: the ligatures' capitals fold to the lower ones handled below.
    const QString decompose = texte.toLower().normalized(QString::NormalizationForm_KD);
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

} // namespace zapo
