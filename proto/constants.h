#pragma once

// The device's REST vocabulary: HTTP methods, the body content type, the versioned
// base, its area segments and the full path of every resource of the interface.
// Several names share one path; the caller, not the name, chooses the method.
//
// The list is kept once, as LCD_PROTO_CONSTANTS(X), and expanded below into
// constants with internal linkage, so every unit that includes it has its own
// copy; tests walk the same list.

#define LCD_PROTO_CONSTANTS(X)                                                         \
  /* Methods and the body type of every request. */                                    \
  X(HTTPPUTREQUEST, "PUT")                                                             \
  X(HTTPGETREQUEST, "GET")                                                             \
  X(HTTPPOSTREQUEST, "POST")                                                           \
  X(HTTPDELETEREQUEST, "DELETE")                                                       \
  X(CONTENTTYPE, "application/json")                                                   \
  /* Versioned base and area segments. */                                              \
  X(TAVROPROTOBASEURL, "/tavro/v1")                                                    \
  X(TAVROPROTOSYSTEM, "system")                                                        \
  X(TAVROPROTONODE, "node")                                                            \
  X(TAVROPROTOINTERFACE, "interface")                                                  \
  /* Area "system". */                                                                 \
  X(POSTLOGIN, "/tavro/v1/system/auth/login")                                          \
  X(TAVROPROTOPUTASSESSLAYERCUTOUT, "/tavro/v1/system/auxiliary/assess/layers-cutout") \
  X(TAVROPROTOPUTASSESSLAYERSOURCE, "/tavro/v1/system/auxiliary/assess/layers-source") \
  X(TAVROPROTOPUTASSESSLAYERSWITCH, "/tavro/v1/system/auxiliary/assess/layers-switch") \
  X(LAYERWINDOWASSESS, "/tavro/v1/system/auxiliary/assess/layers-window")              \
  X(SCREENCROPMOSICASSESS, "/tavro/v1/system/auxiliary/assess/screen-crop-mosaic")     \
  X(ASSESSSCREENTIMINGASSESS, "/tavro/v1/system/auxiliary/assess/screen-thumb-timing") \
  X(SWITCHCAPACITYASSESS, "/tavro/v1/system/auxiliary/assess/switch-capacity")         \
  X(DYNAMICRANGCONVERSION, "/tavro/v1/system/ctrl/dynamic-rang-conversion")            \
  X(GETDYNAMICRANGECONVERSION, "/tavro/v1/system/ctrl/dynamic-rang-conversion")        \
  X(SOURCEBACKUP, "/tavro/v1/system/ctrl/source-backup")                               \
  X(TAVROPROTOGETSYSTEMDETAIL, "/tavro/v1/system/detail")                              \
  X(RESTOREFACTORY, "/tavro/v1/system/restore-factory")                                \
  /* Area "node". */                                                                   \
  X(DEVICEFACTORY, "/tavro/v1/node/automation/production")                             \
  X(DEVICEBACKUP, "/tavro/v1/node/backup")                                             \
  X(DEVICEBACKUPDETAIL, "/tavro/v1/node/backup/detail")                                \
  X(NODECOMPRESSLOG, "/tavro/v1/node/compresslog")                                     \
  X(GETNODEDETAIL, "/tavro/v1/node/detail")                                            \
  X(TAVROPROTOCOMMUNICATION, "/tavro/v1/node/ethernet")                                \
  X(GETNODEEXTGENLOCK, "/tavro/v1/node/ext-genlock")                                   \
  X(FIRMWAREVERSION, "/tavro/v1/node/firmware/version")                                \
  X(GETNODELIST, "/tavro/v1/node/list")                                                \
  X(PUTNODEWORKMODE, "/tavro/v1/node/mode")                                            \
  X(GETNODENETWORKPORTLINK, "/tavro/v1/node/networkport-link")                         \
  X(PUTNODEPOWEROFF, "/tavro/v1/node/power")                                           \
  X(NODEPOWERONSTATE, "/tavro/v1/node/power-state")                                    \
  X(NODESELFCHECK, "/tavro/v1/node/selfcheck")                                         \
  X(NODESELFCHECKPROGRESS, "/tavro/v1/node/selfcheck-progress")                        \
  X(GETSTATEINFO, "/tavro/v1/node/state-info")                                         \
  X(GETNODESTATUS, "/tavro/v1/node/status")                                            \
  X(NODESUBCARDMODELIST, "/tavro/v1/node/subcard/mode")                                \
  X(GETNODESUBCARDLIST, "/tavro/v1/node/subcards")                                     \
  X(UPGRADEPROGRESS, "/tavro/v1/node/upgrade/progress")                                \
  X(TAVROPROTOPUTUPGRADEFILE, "/tavro/v1/node/upgrade/upload")                         \
  X(GETNODEVERSION, "/tavro/v1/node/version-number")                                   \
  /* Area "interface". */                                                              \
  X(PUTCOLORDEPTH, "/tavro/v1/interface/color-depth")                                  \
  X(TAVROPROTOPUTCOLORDEPTH, "/tavro/v1/interface/color-depth")                        \
  X(INTERFACECOLORDYNAMICRANGE, "/tavro/v1/interface/color-dynamic-range")             \
  X(INTERFACECOLORGAMUT, "/tavro/v1/interface/color-gamut")                            \
  X(PUTCOLORRANGE, "/tavro/v1/interface/color-range")                                  \
  X(PUTINTERFACECOLORSPACE, "/tavro/v1/interface/color-space")                         \
  X(TAVROPROTOPUTCOLORSPACE, "/tavro/v1/interface/color-space")                        \
  X(GETEDIDFILE, "/tavro/v1/interface/edid-file")                                      \
  X(PUTEDIDFILE, "/tavro/v1/interface/edid-file")                                      \
  X(PUTHDCP, "/tavro/v1/interface/hdcp")                                               \
  X(TAVROPROTOPUTHDCP, "/tavro/v1/interface/hdcp")                                     \
  X(INTERFACEHDR, "/tavro/v1/interface/hdr")                                           \
  X(PUTIMAGEQUALITY, "/tavro/v1/interface/image-quality")                              \
  X(TAVROPROTOPUTIMAGEQUALITY, "/tavro/v1/interface/image-quality")                    \
  X(GETINTERFACELISTDETAIL, "/tavro/v1/interface/list-detail")                         \
  X(TAVROPROTOGETINTERFACELISTDETAIL, "/tavro/v1/interface/list-detail")               \
  X(GETINTERFACELISTTHUMB, "/tavro/v1/interface/list-thumb")                           \
  X(TAVROPROTOGETINTERFACELISTTHUMB, "/tavro/v1/interface/list-thumb")                 \
  X(TAVROPROTOPUTINPUTTHUMBTIMING, "/tavro/v1/interface/preset-thumb-timing")          \
  X(TAVROPROTOPUTINPUTPRESETTIMING, "/tavro/v1/interface/preset-timing")               \
  X(INTERFACEHDRRESET, "/tavro/v1/interface/reset/hdr")                                \
  X(THUMBTIMINGCHECK, "/tavro/v1/interface/thumbtiming-check")                         \
  X(DETAILTIMINGCHECK, "/tavro/v1/interface/timing-check")                             \
  /* Area "screen". */                                                                 \
  X(PUTSCREENCOLORDEPTH, "/tavro/v1/screen/color-depth")                               \
  X(PUTSCREENCOLORDYNAMICRANGE, "/tavro/v1/screen/color-dynamic-range")                \
  X(PUTSCREENCOLORGAMUT, "/tavro/v1/screen/color-gamut")                               \
  X(PUTSCREENCOLORSPACE, "/tavro/v1/screen/color-space")                               \
  X(PUTSCREENMOSAIC, "/tavro/v1/screen/crop-mosaic")                                   \
  X(SCREENCUT, "/tavro/v1/screen/cut")                                                 \
  X(PUTGENLOCK, "/tavro/v1/screen/genlock")                                            \
  X(SWITCHMODE, "/tavro/v1/screen/global/swap")                                        \
  X(SWITCHEFFECT, "/tavro/v1/screen/global/switch-effect")                             \
  X(PUTSCREENHDCP, "/tavro/v1/screen/hdcp")                                            \
  X(PUTSCREENHDR, "/tavro/v1/screen/hdr")                                              \
  X(PUTSCREENIMAGEQUALITY, "/tavro/v1/screen/image-quality")                           \
  X(GETSCREENLISTDETAIL, "/tavro/v1/screen/list-detail")                               \
  X(TAVROPROTOGETSCREENDETAIL, "/tavro/v1/screen/list-detail")                         \
  X(GETSCREENLISTTHUMB, "/tavro/v1/screen/list-thumb")                                 \
  X(SCREENPGMEDIT, "/tavro/v1/screen/pgm-edit")                                        \
  X(SCREENHDRRESET, "/tavro/v1/screen/reset/hdr")                                      \
  X(SCREENSELECT, "/tavro/v1/screen/select")                                           \
  X(SELECTSCREENCUT, "/tavro/v1/screen/selected/cut")                                  \
  X(SCREENFREEZE, "/tavro/v1/screen/selected/freeze")                                  \
  X(SCREENFTB, "/tavro/v1/screen/selected/ftb")                                        \
  X(SELECTSCREENTAKE, "/tavro/v1/screen/selected/take")                                \
  X(SELECTSCREENTBAR, "/tavro/v1/screen/selected/tbar")                                \
  X(SCREENTAKE, "/tavro/v1/screen/take")                                               \
  X(SCREENTESTPATTERN, "/tavro/v1/screen/test-pattern")                                \
  X(TAVROPROTOPUTSCREENTHUMBTIMING, "/tavro/v1/screen/thumb-timing")                   \
  X(TAVROPROTOPUTSCREENREFTIMING, "/tavro/v1/screen/timing")                           \
  /* Area "layers". */                                                                 \
  X(TAVROPROTOPUTLAYERSDELETE, "/tavro/v1/layers")                                     \
  X(PUTLAYERBORDER, "/tavro/v1/layers/border")                                         \
  X(TAVROPROTOPUTLAYERSCREATE, "/tavro/v1/layers/create")                              \
  X(TAVROPROTOPUTLAYERCROP, "/tavro/v1/layers/crop")                                   \
  X(PUTLAYERSCUTOUT, "/tavro/v1/layers/cutout")                                        \
  X(PUTLAYERSCUTOUTCURSOR, "/tavro/v1/layers/cutout/color")                            \
  X(PUTLAYERGENERAL, "/tavro/v1/layers/general")                                       \
  X(PUTLAYERIMAGEQUALITY, "/tavro/v1/layers/image-quality")                            \
  X(TAVROPROTOGETLAYERSLISTDETAIL, "/tavro/v1/layers/list-detail")                     \
  X(LAYERSLISTTHUMB, "/tavro/v1/layers/list-thumb")                                    \
  X(PUTLAYERSLOCK, "/tavro/v1/layers/lock")                                            \
  X(PUTLAYERMASK, "/tavro/v1/layers/mask")                                             \
  X(PUTLAYEROPACITY, "/tavro/v1/layers/opacity")                                       \
  X(TAVROPROTOPUTLAYERSSOURCE, "/tavro/v1/layers/source")                              \
  X(TAVROPROTOPUTLAYERSWITCH, "/tavro/v1/layers/switch")                               \
  X(GETLAYERTEMPLATELIST, "/tavro/v1/layers/template")                                 \
  X(GETLAYERTSELECTEMPLATE, "/tavro/v1/layers/template/select")                        \
  X(PUTLAYERSELECTTEMPLATE, "/tavro/v1/layers/template/select")                        \
  X(PUTLAYERSLAYOUT, "/tavro/v1/layers/window")                                        \
  X(PUTLAYERZORDER, "/tavro/v1/layers/zorder")                                         \
  /* Area "preset". */                                                                 \
  X(PRESETDELETE, "/tavro/v1/preset")                                                  \
  X(PRESETCREATE, "/tavro/v1/preset/create-assign")                                    \
  X(PRESETLISTDETAIL, "/tavro/v1/preset/list-detail")                                  \
  X(PRESETAPPLY, "/tavro/v1/preset/play")                                              \
  X(CURPRESETINFO, "/tavro/v1/preset/play-id")                                         \
  /* Area "picture". */                                                                \
  X(PICTUREDELETEFILE, "/tavro/v1/picture")                                            \
  X(PICTURECAPTURE, "/tavro/v1/picture/capture")                                       \
  X(PICTURESAVEAS, "/tavro/v1/picture/capture/save")                                   \
  X(PICTUREEXPORTFILE, "/tavro/v1/picture/export")                                     \
  X(PICTUREIMPORTFILE, "/tavro/v1/picture/import")                                     \
  X(PICTURELIST, "/tavro/v1/picture/list")                                             \
  X(PICTURELOADPROGRESS, "/tavro/v1/picture/loadprogress")                             \
  X(PICTUREPROGRESS, "/tavro/v1/picture/progress")                                     \
  /* Area "project-file". */                                                           \
  X(PROJFILEEXPORT, "/tavro/v1/project-file/export")                                   \
  X(PROJFILEIMPORT, "/tavro/v1/project-file/import")                                   \
  /* Area "ucenter". */                                                                \
  X(DEVICELIST, "/tavro/v1/ucenter/device-list")                                       \
  /* end of list */

namespace LCD {
namespace Proto {
namespace Constants {

#define LCD_PROTO_DECLARE_CONSTANT(name, text) static constexpr const char name[] = text;
LCD_PROTO_CONSTANTS(LCD_PROTO_DECLARE_CONSTANT)
#undef LCD_PROTO_DECLARE_CONSTANT

}  // namespace Constants
}  // namespace Proto
}  // namespace LCD
