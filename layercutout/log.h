#pragma once

#include <QDebug>
#include <QMessageLogger>

// Every message of the model carries the same file and category in its
// context, the line of the call and the handler's full signature.
namespace LayerCutout {
namespace Log {

constexpr char kFile[] = "layercutoutmodel";
constexpr char kCategory[] = "default";

constexpr char kSetLayerCutout[] = "wyn::IMessage* LayerCutout::LayerCutoutModel::setLayerCutout(const wyn::IMessage*)";
constexpr char kSetLayerCutoutCursor[] =
    "wyn::IMessage* LayerCutout::LayerCutoutModel::setLayerCutoutCursor(const wyn::IMessage*)";
constexpr char kGetLayerCutoutAssess[] =
    "wyn::IMessage* LayerCutout::LayerCutoutModel::getLayerCutoutAssess(const wyn::IMessage*)";
constexpr char kChangeLayerCutout[] =
    "wyn::IMessage* LayerCutout::LayerCutoutModel::changeLayerCutout(const wyn::IMessage*)";
constexpr char kChangeLayerCutoutCursor[] =
    "wyn::IMessage* LayerCutout::LayerCutoutModel::changeLayerCutoutCursor(const wyn::IMessage*)";
constexpr char kOnInit[] = "virtual void LayerCutout::LayerCutoutModel::onInit()";

}  // namespace Log
}  // namespace LayerCutout

#define LCD_LOG_WARNING(signature) \
  QMessageLogger(::LayerCutout::Log::kFile, __LINE__, signature, ::LayerCutout::Log::kCategory).warning()
#define LCD_LOG_CRITICAL(signature) \
  QMessageLogger(::LayerCutout::Log::kFile, __LINE__, signature, ::LayerCutout::Log::kCategory).critical()
