// Texts from outside that look like markup or steer the text, and what a
// tooltip really shows: the tests check that each is shown as written.
#pragma once

#include <QString>
#include <QTest>
#include <QTextDocument>

namespace zapo::essais {

// The text a tooltip (or a label in Qt's automatic format) shows: read as rich
// text exactly when Qt reads it so. An image comes out as U+FFFC, a table's
// cells as lines, an entity as its character.
inline QString texte_montre(const QString& bulle) {
    QTextDocument d;
    if (Qt::mightBeRichText(bulle))
        d.setHtml(bulle);
    else
        d.setPlainText(bulle);
    return d.toPlainText();
}

// One column, "texte": each row a hostile text that must be shown as written.
inline void textes_hostiles_data() {
    QTest::addColumn<QString>("texte");
    QTest::newRow("big red word") << QStringLiteral("<font color=red size=7>ROUGE</font>");
    QTest::newRow("local picture") << QStringLiteral("<img src=file:///usr/share/pixmaps/debian-logo.png>");
    QTest::newRow("entities") << QStringLiteral("&amp; &lt;b&gt; &eacute;");
    QTest::newRow("table") << QStringLiteral("<table border=1><tr><td>a</td><td>b</td></tr></table>");
    QTest::newRow("qt wrapper") << QStringLiteral("<qt><b>gras</b></qt>");
    QTest::newRow("markup after a plain word") << QStringLiteral("Film <i>culte</i>");
    QTest::newRow("plain comparisons") << QStringLiteral("a < b && c > d");
}

} // namespace zapo::essais
