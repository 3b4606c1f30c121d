#pragma once

#include <vector>

#include "host/runtime.h"
#include "layercutout/assessexchange.h"
#include "proto/layercutout.h"

// The model's three commands as another component issues them, and how their
// outcome looks to that component: the answer, or its own exchange record.
namespace Stress {

using LayerSettings = std::vector<LCD::ProtoModel::Layer::s_LayerCutout>;
using LCD::ProtoModel::Layer::s_ReadLayerCursorColor;

// Default cutout settings for the given layers, in that order.
LayerSettings layersNumbered(const std::vector<int>& layerIds);
s_ReadLayerCursorColor cursorAt(int layerId, int x, int y);
// An exchange record asking about the given layers, whose result holds a
// recognisable earlier state so that "untouched" is checked, not assumed.
LayerCutout::AssessExchange exchangeFor(const std::vector<int>& layerIds);

LCD::Host::CommandResult setCutout(LCD::Host::Runtime& runtime, const LayerSettings& layers);
LCD::Host::CommandResult readCursor(LCD::Host::Runtime& runtime, const s_ReadLayerCursorColor& request);
LCD::Host::CommandResult assess(LCD::Host::Runtime& runtime, LayerCutout::AssessExchange& record);

// A cursor answer as its seven in-memory integers; empty when there is no
// answer or it is not 28 bytes long.
std::vector<int> cursorWords(const LCD::Host::CommandResult& result);
// What the simulated device reads under a cursor: the request echoed and the
// colour bar under it.
std::vector<int> deviceReading(const s_ReadLayerCursorColor& request);
// The answer to a failed read: the default record marked with layerId -1.
std::vector<int> markedDefault();

bool isUntouched(const LayerCutout::AssessExchange& record);
// The record holds a successful assessment of exactly the layers it asked for.
bool holdsItsOwnResults(const LayerCutout::AssessExchange& record);

}  // namespace Stress
