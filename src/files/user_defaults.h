// The user's own default configuration of a model type and region: File > Save As Default
// stores it, New and the start-up start from it (model/regions.h, LoadRegionDefaults), and
// Options > Use Factory Defaults removes it.
#pragma once

#include "core/config.h"
#include "core/outcome.h"

namespace mrw {

/// Save As Default: the configuration, encoded and prepared as for programming, is written
/// atomically as the user's own default image of the current model type and of the region
/// the configuration holds (image byte 271), which becomes the region New starts from. The
/// configuration itself does not change. Failed, after a message, when that region has no
/// entry in the region menu, the model cannot be encoded or the file cannot be written.
Outcome SaveAsDefault(Config& config);

/// True when the user has an own default for the current model type and region.
bool HasOwnDefault(const Config& config);

/// Options > Use Factory Defaults: asks, then removes the user's own default of the current
/// model type and region, so that New starts from the factory image again. The configuration
/// being edited does not change. Cancelled when there is none or the user says Cancel.
Outcome UseFactoryDefaults(Config& config);

}  // namespace mrw
