#include "App/ActivationTarget.h"

#include <algorithm>

namespace quorrin::activationtarget {

QWidget* choose(const std::vector<QWidget*>& shown, const std::vector<QWidget*>& recentFirst, QWidget* requested)
{
    const auto isShown = [&](const QWidget* window) {
        return window && std::find(shown.begin(), shown.end(), window) != shown.end();
    };
    if (isShown(requested))
        return requested;
    const auto recent = std::find_if(recentFirst.begin(), recentFirst.end(), isShown);
    if (recent != recentFirst.end())
        return *recent;
    return shown.empty() ? nullptr : shown.back();
}

} // namespace quorrin::activationtarget
