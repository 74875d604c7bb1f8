#pragma once

#include <string>
#include <vector>

#include <QWidget>

namespace varnolux {

/// Every translatable text of the windows as a language file with the current
/// texts as values: one section per named window with its caption and, component
/// by component in ownership order, every key a language file may set for it that
/// holds a text now (captions and hints that are not empty; all items, memo lines
/// and value list entries; labelled edit labels and plot axis captions always).
/// Throws std::invalid_argument for a name that a language file cannot hold.
std::string LanguageTemplate(const std::vector<QWidget*>& windows);

} // namespace varnolux
