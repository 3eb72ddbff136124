#include "skins.h"

namespace fichora {

int nextSkin(int skin)
{
    return skin >= kNoSkin || skin < 0 ? 0 : skin + 1;
}

QString skinCaption(int skin)
{
    return skin >= 0 && skin < kSkinCount ? QString::number(skin) : QStringLiteral("X");
}

char skinByte(int skin)
{
    return skin >= 0 && skin < kSkinCount ? static_cast<char>('0' + skin) : 'X';
}

int skinFromByte(std::optional<char> byte)
{
    if (byte && *byte >= '0' && *byte <= '9')
        return *byte - '0';
    return kNoSkin;
}

QString skinResource(int skin)
{
    return QStringLiteral(":/skins/skin%1.qss").arg(skin);
}

} // namespace fichora
