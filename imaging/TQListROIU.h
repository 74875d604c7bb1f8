#pragma once

#include "imaging/TQListTemplate.h"
#include "imaging/TQROIU.h"

namespace varnolux {

/// The regions found by labelling.
class TQListROIU : public TQListTemplate<TQROIU> {};

} // namespace varnolux
