#pragma once

#include <QString>
#include <optional>

// The main window's layout choices kept in [LAYOUT] of the settings file.
enum class ToolBarPosition { Top, Right, Bottom, Left };
enum class StationViewStyle { Large, Small, List, Details };

// "TOP", "RIGHT", "BOTTOM", "LEFT" (compared exactly: "left" is no position).
std::optional<ToolBarPosition> ParseToolBarPosition(const QString& text);
QString ToolBarPositionText(ToolBarPosition position);

// "LARGE", "SMALL", "LIST", "DETAILS" (compared exactly).
std::optional<StationViewStyle> ParseStationViewStyle(const QString& text);
QString StationViewStyleText(StationViewStyle style);
