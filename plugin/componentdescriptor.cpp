#include "plugin/componentdescriptor.h"

// The descriptor of the one component type this plug-in contributes. Its
// function fields are filled at load time and destroyed at unload.
template <>
wyn::ComponentInfo wyn::ComponentTmpl<LayerCutout::LayerCutoutModel>::componentInfo =
    wyn::ComponentTmpl<LayerCutout::LayerCutoutModel>::describe("tavro.lcd.model.layer.cutout", "{\"end\":0 }\r\n");
