#include "skinengine.h"

#include "app/skins.h"

#include <QApplication>
#include <QFile>

// The sheets are compiled into a static library, whose resource object the linker keeps only when called.
static void registerSkinSheets()
{
    static const bool registered = [] {
        Q_INIT_RESOURCE(skins);
        return true;
    }();
    Q_UNUSED(registered);
}

namespace fichora {

void SkinEngine::load(int skin)
{
    registerSkinSheets();
    QFile file(skinResource(skin));
    m_sheet = file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    m_loaded = skin;
    if (m_active)
        apply();
}

void SkinEngine::setActive(bool active)
{
    m_active = active;
    apply();
}

void SkinEngine::apply() const
{
    if (auto* app = qobject_cast<QApplication*>(QCoreApplication::instance()))
        app->setStyleSheet(m_active ? m_sheet : QString());
}

} // namespace fichora
