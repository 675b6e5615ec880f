#include "plateforme/connexion_linux.h"

#include "plateforme/journal_plateforme.h"
#include "plateforme/pinger.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusPendingCall>
#include <QDBusPendingCallWatcher>
#include <QDBusVariant>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QThread>
#include <QTimer>

#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <optional>

using reglages_nm = QMap<QString, QVariantMap>;
Q_DECLARE_METATYPE(reglages_nm)

namespace zapo::plateforme {

namespace {

const QString service_nm = QStringLiteral("org.freedesktop.NetworkManager");
const QString chemin_nm = QStringLiteral("/org/freedesktop/NetworkManager");
const QString iface_nm = QStringLiteral("org.freedesktop.NetworkManager");
const QString chemin_reglages = QStringLiteral("/org/freedesktop/NetworkManager/Settings");
const QString iface_reglages = QStringLiteral("org.freedesktop.NetworkManager.Settings");
const QString iface_profil = QStringLiteral("org.freedesktop.NetworkManager.Settings.Connection");
const QString iface_actif = QStringLiteral("org.freedesktop.NetworkManager.Connection.Active");
const QString iface_proprietes = QStringLiteral("org.freedesktop.DBus.Properties");

constexpr int delai_appel_ms = 5000;
constexpr int intervalle_suivi_ms = 100;

// NMActiveConnectionState
constexpr uint etat_active = 2;
constexpr uint etat_desactive = 4;

void laisser_passer_evenements(int ms) {
    auto* app = QCoreApplication::instance();
    if (app && QThread::currentThread() == app->thread()) {
        QEventLoop boucle;
        QTimer::singleShot(ms, &boucle, &QEventLoop::quit);
        boucle.exec();
    } else {
        QThread::msleep(ulong(ms));
    }
}

// A connection of its own for each command: the system bus may come and go
// (NetworkManager restarted, a test's private bus) while the program runs.
class bus_systeme {
public:
    // fin: the deadline of the whole command; arret: the user gave up.
    bus_systeme(QDeadlineTimer fin, const bool* arret)
        : nom_(QStringLiteral("zapo-nm-%1").arg(compteur_.fetch_add(1))),
          c_(QDBusConnection::connectToBus(QDBusConnection::SystemBus, nom_)), fin_(fin), arret_(arret) {
        qDBusRegisterMetaType<reglages_nm>();
    }
    ~bus_systeme() { QDBusConnection::disconnectFromBus(nom_); }
    bus_systeme(const bus_systeme&) = delete;
    bus_systeme& operator=(const bus_systeme&) = delete;

    // NetworkManager runs: never start it through bus activation.
    bool nm_present() {
        if (!c_.isConnected() || !c_.interface())
            return false;
        const auto r = c_.interface()->isServiceRegistered(service_nm);
        return r.isValid() && r.value();
    }

    // Gave up: the time is over, the user cancelled, or the service went silent.
    bool abandonne() {
        if (arret_ && *arret_)
            abandon_ = true;
        if (fin_.hasExpired())
            abandon_ = true;
        return abandon_;
    }

    std::optional<QList<QVariant>> appeler(const QString& chemin, const QString& iface,
                                           const QString& methode, const QList<QVariant>& args = {}) {
        if (abandonne())
            return std::nullopt;
        auto m = QDBusMessage::createMethodCall(service_nm, chemin, iface, methode);
        m.setArguments(args);
        const int delai = int(std::clamp<qint64>(fin_.remainingTime(), 1, delai_appel_ms));
        QDBusPendingCall appel = c_.asyncCall(m, delai);
        attendre(appel, QDeadlineTimer(delai));
        if (!appel.isFinished()) {
            // A service that owns its name but answers nothing: asking it again,
            // once per profile, would only multiply the wait.
            abandon_ = true;
            return std::nullopt;
        }
        const QDBusMessage r = appel.reply();
        if (r.type() != QDBusMessage::ReplyMessage) {
            if (r.errorName() == QLatin1String("org.freedesktop.DBus.Error.NoReply"))
                abandon_ = true;
            return std::nullopt;
        }
        return r.arguments();
    }

    QVariant propriete(const QString& chemin, const QString& iface, const QString& nom) {
        const auto r = appeler(chemin, iface_proprietes, QStringLiteral("Get"), {iface, nom});
        if (!r || r->isEmpty())
            return {};
        return r->first().value<QDBusVariant>().variant();
    }

    QList<QDBusObjectPath> chemins(const QVariant& v) {
        if (v.canConvert<QList<QDBusObjectPath>>() &&
            v.metaType() == QMetaType::fromType<QList<QDBusObjectPath>>())
            return v.value<QList<QDBusObjectPath>>();
        if (v.metaType() == QMetaType::fromType<QDBusArgument>())
            return qdbus_cast<QList<QDBusObjectPath>>(v.value<QDBusArgument>());
        return {};
    }

    QList<QDBusObjectPath> connexions_actives() {
        return chemins(propriete(chemin_nm, iface_nm, QStringLiteral("ActiveConnections")));
    }

    std::optional<reglages_nm> reglages(const QString& profil) {
        const auto r = appeler(profil, iface_profil, QStringLiteral("GetSettings"));
        if (!r || r->isEmpty())
            return std::nullopt;
        const QVariant& v = r->first();
        if (v.metaType() == QMetaType::fromType<QDBusArgument>())
            return qdbus_cast<reglages_nm>(v.value<QDBusArgument>());
        return v.value<reglages_nm>();
    }

private:
    // Events keep running meanwhile (the window stays alive, "Annuler" is read).
    void attendre(QDBusPendingCall& appel, QDeadlineTimer limite) {
        auto* app = QCoreApplication::instance();
        if (!app || QThread::currentThread() != app->thread()) {
            appel.waitForFinished();
            return;
        }
        while (!appel.isFinished() && !limite.hasExpired() && !abandonne()) {
            QDBusPendingCallWatcher suivi(appel);
            QEventLoop boucle;
            QObject::connect(&suivi, &QDBusPendingCallWatcher::finished, &boucle, &QEventLoop::quit);
            QTimer::singleShot(
                int(std::min<qint64>(intervalle_suivi_ms, std::max<qint64>(1, limite.remainingTime()))),
                &boucle, &QEventLoop::quit);
            if (appel.isFinished())
                break;
            // Returns at once once the program is ending: the deadline still holds.
            if (boucle.exec() < 0)
                QThread::msleep(10);
        }
    }

    static inline std::atomic<int> compteur_{0};
    QString nom_;
    QDBusConnection c_;
    QDeadlineTimer fin_;
    const bool* arret_;
    bool abandon_ = false;
};

QStringList en_liste_textes(const QVariant& v) {
    if (v.metaType() == QMetaType::fromType<QDBusArgument>())
        return qdbus_cast<QStringList>(v.value<QDBusArgument>());
    return v.toStringList();
}

QString utilisateur_courant() {
    if (const passwd* p = ::getpwuid(::geteuid()))
        return QString::fromLocal8Bit(p->pw_name);
    return {};
}

// A profile restricted to other users ("user:NAME" entries) is not ours to dial.
bool profil_permis(const reglages_nm& r) {
    const QStringList permissions =
        en_liste_textes(r.value(QStringLiteral("connection")).value(QStringLiteral("permissions")));
    if (permissions.isEmpty())
        return true;
    const QString moi = utilisateur_courant();
    for (const QString& p : permissions) {
        const QStringList parties = p.split(QLatin1Char(':'));
        if (parties.size() >= 2 && parties.at(0) == QLatin1String("user") && parties.at(1) == moi)
            return true;
    }
    return false;
}

bool est_profil_numerotation(const reglages_nm& r) {
    const QString type = r.value(QStringLiteral("connection")).value(QStringLiteral("type")).toString();
    const QString bt = r.value(QStringLiteral("bluetooth")).value(QStringLiteral("type")).toString();
    return est_type_numerotation(type, bt);
}

struct candidat {
    QString chemin;
    qint64 priorite = 0;
    quint64 horodatage = 0;
};

// Follows an activation until it is up, has failed, or time runs out.
void suivre_activation(bus_systeme& bus, const QString& actif, int delai_ms) {
    const QDeadlineTimer fin(delai_ms);
    for (;;) {
        const QVariant etat = bus.propriete(actif, iface_actif, QStringLiteral("State"));
        // The object goes away when the activation fails.
        if (!etat.isValid())
            return;
        const uint e = etat.toUInt();
        if (e == etat_active || e >= etat_desactive)
            return;
        if (fin.hasExpired() || bus.abandonne())
            return;
        laisser_passer_evenements(
            int(std::min<qint64>(intervalle_suivi_ms, std::max<qint64>(1, fin.remainingTime()))));
    }
}

} // namespace

QString adresse_a_tester() {
    if (qEnvironmentVariableIsSet("ZAPO_TV_ADRESSE_TEST"))
        return qEnvironmentVariable("ZAPO_TV_ADRESSE_TEST").trimmed();
    return QString::fromLatin1(adresse_test);
}

bool est_type_numerotation(const QString& type, const QString& type_bluetooth) {
    if (type == QLatin1String("pppoe") || type == QLatin1String("gsm") || type == QLatin1String("cdma") ||
        type == QLatin1String("adsl"))
        return true;
    return type == QLatin1String("bluetooth") && type_bluetooth == QLatin1String("dun");
}

bool connexion_linux::est_connecte() {
    if (QCoreApplication::instance())
        QCoreApplication::processEvents();
    return plateforme::ping(adresse_a_tester()) != QLatin1String("0");
}

void connexion_linux::connecter() {
    // One deadline for the whole step: the calls and the wait for the line.
    const QDeadlineTimer fin(delai_activation_ms_ + delai_appel_ms);
    bus_systeme bus(fin, arret_);
    if (!bus.nm_present()) {
        qCWarning(zapo_reseau,
                  "NetworkManager ne répond pas sur le bus système : pas de connexion automatique.");
        return;
    }

    const auto liste = bus.appeler(chemin_reglages, iface_reglages, QStringLiteral("ListConnections"));
    if (!liste || liste->isEmpty()) {
        qCWarning(zapo_reseau, "NetworkManager ne donne aucun profil de connexion.");
        return;
    }
    std::optional<candidat> choisi;
    for (const QDBusObjectPath& p : bus.chemins(liste->first())) {
        const auto r = bus.reglages(p.path());
        if (!r || !est_profil_numerotation(*r) || !profil_permis(*r))
            continue;
        const QVariantMap c = r->value(QStringLiteral("connection"));
        candidat k{p.path(), c.value(QStringLiteral("autoconnect-priority")).toLongLong(),
                   c.value(QStringLiteral("timestamp")).toULongLong()};
        if (!choisi || k.priorite > choisi->priorite ||
            (k.priorite == choisi->priorite && k.horodatage > choisi->horodatage))
            choisi = k;
    }
    if (!choisi)
        return;

    // Already coming up or up: follow it rather than restart it.
    QString actif;
    for (const QDBusObjectPath& a : bus.connexions_actives()) {
        const QVariant profil = bus.propriete(a.path(), iface_actif, QStringLiteral("Connection"));
        if (profil.value<QDBusObjectPath>().path() == choisi->chemin) {
            actif = a.path();
            break;
        }
    }
    if (actif.isEmpty()) {
        const QDBusObjectPath racine(QStringLiteral("/"));
        const auto r = bus.appeler(chemin_nm, iface_nm, QStringLiteral("ActivateConnection"),
                                   {QVariant::fromValue(QDBusObjectPath(choisi->chemin)),
                                    QVariant::fromValue(racine), QVariant::fromValue(racine)});
        if (!r || r->isEmpty())
            return;
        actif = r->first().value<QDBusObjectPath>().path();
    }
    suivre_activation(bus, actif, delai_activation_ms_);
    QCoreApplication::processEvents();
}

void connexion_linux::deconnecter() {
    // Hanging up is never waited for long, and never cancelled half-way.
    bus_systeme bus(QDeadlineTimer(2 * delai_appel_ms), nullptr);
    if (!bus.nm_present())
        return;
    for (const QDBusObjectPath& a : bus.connexions_actives()) {
        const QString type = bus.propriete(a.path(), iface_actif, QStringLiteral("Type")).toString();
        QString type_bt;
        if (type == QLatin1String("bluetooth")) {
            const QString profil = bus.propriete(a.path(), iface_actif, QStringLiteral("Connection"))
                                       .value<QDBusObjectPath>()
                                       .path();
            if (const auto r = bus.reglages(profil))
                type_bt = r->value(QStringLiteral("bluetooth")).value(QStringLiteral("type")).toString();
        }
        if (!est_type_numerotation(type, type_bt))
            continue;
        // Not waited for: the line drops on its own.
        bus.appeler(chemin_nm, iface_nm, QStringLiteral("DeactivateConnection"), {QVariant::fromValue(a)});
    }
}

} // namespace zapo::plateforme
