#include "session.h"

namespace fichora {

QString Session::choose(const QString& french, const QString& english) const
{
    return isFrench() ? french : english;
}

} // namespace fichora
