#include "maj/maj_logos.h"

#include "donnees/base_logos.h"
#include "maj/alias_maj.h"
#include "maj/journal.h"
#include "maj/recup.h"
#include "plateforme/telechargeur.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QHash>
#include <QImage>
#include <QImageReader>

#include <vector>

namespace zapo::maj {

namespace {

// Only formats Qt itself reads, told by content, never by the name or the type sent.
const char* format_logo(const QByteArray& o) {
    if (o.startsWith("\x89PNG\r\n\x1a\n"))
        return "png";
    if (o.startsWith("\xff\xd8\xff"))
        return "jpeg";
    if (o.startsWith("GIF87a") || o.startsWith("GIF89a"))
        return "gif";
    if (o.startsWith("BM"))
        return "bmp";
    return nullptr;
}

bool est_du(const donnees::logo_chaine& l, date_heure maintenant) {
    const qint64 ecart = maintenant.secondes() - l.verifie.secondes();
    return ecart < 0 || ecart >= (l.reussi ? logo_recheck_s : logo_nouvel_essai_s);
}

} // namespace

logo_decode decoder_logo(const QByteArray& octets) {
    logo_decode res;
    const char* format = format_logo(octets);
    if (!format) {
        res.erreur = QStringLiteral("ce n'est pas une image PNG, JPEG, GIF ou BMP");
        return res;
    }
    QBuffer tampon;
    tampon.setData(octets);
    tampon.open(QIODevice::ReadOnly);
    QImageReader lecteur(&tampon, format);
    lecteur.setDecideFormatFromContent(false);
    // Megabytes one decoded picture may take, whatever its header claims.
    lecteur.setAllocationLimit(int(logo_pixels_max * 4 / (1024 * 1024)) + 1);
    const QSize taille = lecteur.size();
    if (!taille.isValid() || taille.isEmpty()) {
        res.erreur = QStringLiteral("dimensions de l'image illisibles");
        return res;
    }
    if (qint64(taille.width()) * taille.height() > logo_pixels_max) {
        res.erreur = QStringLiteral("image trop grande (%1 × %2)").arg(taille.width()).arg(taille.height());
        return res;
    }
    QImage image;
    if (!lecteur.read(&image) || image.isNull()) {
        res.erreur = QStringLiteral("image illisible : %1").arg(lecteur.errorString());
        return res;
    }
    if (image.width() > logo_largeur || image.height() > logo_hauteur)
        image = image.scaled(logo_largeur, logo_hauteur, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    image = image.convertToFormat(QImage::Format_ARGB32);
    QBuffer sortie(&res.png);
    sortie.open(QIODevice::WriteOnly);
    if (!image.save(&sortie, "PNG")) {
        res.png.clear();
        res.erreur = QStringLiteral("image impossible à réécrire");
    }
    return res;
}

namespace {

void maj_logos(donnees::base_programmes& b, recuperateur& r, std::span<const chaine_lue> lues,
               date_heure maintenant, const std::function<bool()>& arreter,
               const std::function<void()>& annoncer) {
    std::map<int, donnees::logo_chaine> avant = donnees::lire_etats_logos(b);
    donnees::effacer_logos_orphelins(b);
    QHash<QString, donnees::logo_chaine> deja; // by address: a picture shared by channels comes once
    QElapsedTimer chrono;
    bool annonce = false;
    for (const chaine_lue& c : lues) {
        const auto it = avant.find(c.num_chaine);
        const donnees::logo_chaine* ancien = it != avant.end() ? &it->second : nullptr;
        if (c.icone.isEmpty()) {
            // The feed gives none (any more): the badge comes back.
            if (ancien)
                donnees::effacer_logo(b, c.num_chaine);
            continue;
        }
        const bool meme_adresse = ancien && ancien->adresse == c.icone;
        if (meme_adresse && !est_du(*ancien, maintenant))
            continue;
        donnees::logo_chaine l = ancien ? *ancien : donnees::logo_chaine{};
        l.num_chaine = c.num_chaine;
        if (const auto d = deja.constFind(c.icone); d != deja.cend()) {
            const QByteArray image = l.image;
            l = d.value();
            l.num_chaine = c.num_chaine;
            if (l.image.isEmpty())
                l.image = image;
            donnees::ecrire_logo(b, l);
            continue;
        }
        if (!annonce) {
            annonce = true;
            chrono.start();
            if (annoncer)
                annoncer();
        }
        const qint64 reste = logos_duree_ms - chrono.elapsed();
        if (reste <= 0 || (arreter && arreter())) {
            qCWarning(zapo_maj) << "logos restants remis à la prochaine mise à jour";
            break;
        }
        // Validators only for the picture held from that very address.
        const bool conditionnel = meme_adresse && !l.image.isEmpty();
        const plateforme::page_telechargee page = r.recup_logo(
            c.icone, conditionnel ? l.etag : QByteArray(), conditionnel ? l.modifie_le : QByteArray(),
            logo_octets_max, int(std::min<qint64>(reste, logo_duree_ms)));
        if (!meme_adresse) {
            l.etag.clear();
            l.modifie_le.clear();
        }
        l.adresse = c.icone;
        l.verifie = maintenant;
        QString erreur = page.erreur;
        if (page.reussie && page.inchangee) {
            l.reussi = true;
        } else if (page.reussie) {
            logo_decode d = decoder_logo(page.corps);
            erreur = d.erreur;
            if (!d.png.isEmpty()) {
                l.image = std::move(d.png);
                l.etag = page.etag;
                l.modifie_le = page.modifie_le;
            }
        }
        l.reussi = erreur.isEmpty();
        if (!l.reussi)
            qCWarning(zapo_maj).noquote() << QStringLiteral("logo de la chaîne %1 (%2) non retenu : %3")
                                                 .arg(c.num_chaine)
                                                 .arg(c.icone, erreur);
        donnees::ecrire_logo(b, l);
        deja.insert(c.icone, l);
    }
}

} // namespace

void completer_chaines(const QString& chemin_base, recuperateur& r, std::span<const chaine_lue> lues,
                       date_heure maintenant, const std::function<bool()>& arreter,
                       const std::function<void()>& annoncer) {
    if (lues.empty())
        return;
    try {
        donnees::base_programmes b(chemin_base);
        std::vector<int> nums;
        for (const chaine_lue& c : lues)
            nums.push_back(c.num_chaine);
        renommer_chaines(b, nums);
        maj_logos(b, r, lues, maintenant, arreter, annoncer);
    } catch (const std::exception& e) {
        // The programmes are committed: the run stands whatever happens here.
        qCWarning(zapo_maj) << "noms et logos des chaînes non mis à jour :" << e.what();
    }
}

} // namespace zapo::maj
