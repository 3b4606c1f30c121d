#pragma once

#include "layercutout/layercutoutmodel.h"
#include "message/componentinfo.h"
#include "message/componenttmpl.h"

// Declared before any use, as an explicit specialisation must be; defined in
// componentdescriptor.cpp.
template <>
wyn::ComponentInfo wyn::ComponentTmpl<LayerCutout::LayerCutoutModel>::componentInfo;
