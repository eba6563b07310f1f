#include "app/layout_keys.h"

#include "config/settings_keys.h"

#include <array>
#include <utility>

namespace {

const std::array<std::pair<ToolBarPosition, const char*>, 4> ToolBarTexts{{
    {ToolBarPosition::Top, Keys::Layout::ToolBarTop},
    {ToolBarPosition::Right, Keys::Layout::ToolBarRight},
    {ToolBarPosition::Bottom, Keys::Layout::ToolBarBottom},
    {ToolBarPosition::Left, Keys::Layout::ToolBarLeft},
}};

const std::array<std::pair<StationViewStyle, const char*>, 4> ViewStyleTexts{{
    {StationViewStyle::Large, Keys::Layout::ViewStyleLarge},
    {StationViewStyle::Small, Keys::Layout::ViewStyleSmall},
    {StationViewStyle::List, Keys::Layout::ViewStyleList},
    {StationViewStyle::Details, Keys::Layout::ViewStyleDetails},
}};

} // namespace

std::optional<ToolBarPosition> ParseToolBarPosition(const QString& text) {
    for (const auto& [position, name] : ToolBarTexts)
        if (text == QLatin1String(name))
            return position;
    return std::nullopt;
}

QString ToolBarPositionText(ToolBarPosition position) {
    for (const auto& [candidate, name] : ToolBarTexts)
        if (candidate == position)
            return QLatin1String(name);
    return QString();
}

std::optional<StationViewStyle> ParseStationViewStyle(const QString& text) {
    for (const auto& [style, name] : ViewStyleTexts)
        if (text == QLatin1String(name))
            return style;
    return std::nullopt;
}

QString StationViewStyleText(StationViewStyle style) {
    for (const auto& [candidate, name] : ViewStyleTexts)
        if (candidate == style)
            return QLatin1String(name);
    return QString();
}
