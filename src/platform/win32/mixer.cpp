// The system mixer through winmm: the speaker line's volume control of mixer device 0,
// read and set as one channel with one unsigned value.
#include <windows.h>

#include <mmsystem.h>

#include "platform/win32/services.h"

namespace zunk {
namespace win32 {

// The record sizes passed to the mixer are those of the ANSI records of 32-bit Windows.
static_assert(sizeof(MIXERLINEA) == 168, "line record");
static_assert(sizeof(MIXERLINECONTROLSA) == 24, "line-controls record");
static_assert(sizeof(MIXERCONTROLA) == 148, "control record");
static_assert(sizeof(MIXERCONTROLDETAILS) == 24, "details record");

namespace {

HMIXEROBJ Object(uintptr_t mixer) {
  return reinterpret_cast<HMIXEROBJ>(mixer);
}

MIXERCONTROLDETAILS OneValue(uint32_t controlId, MIXERCONTROLDETAILS_UNSIGNED* value) {
  MIXERCONTROLDETAILS d = {};
  d.cbStruct = sizeof d;
  d.dwControlID = controlId;
  d.cChannels = 1;
  d.cMultipleItems = 0;
  d.cbDetails = sizeof *value;
  d.paDetails = value;
  return d;
}

}  // namespace

uintptr_t MixerOpen() {
  HMIXER mixer = nullptr;
  if (mixerOpen(&mixer, 0, 0, 0, 0) != MMSYSERR_NOERROR)
    return 0;
  return reinterpret_cast<uintptr_t>(mixer);
}

int MixerVolumeControl(uintptr_t mixer, uint32_t* controlId) {
  MIXERLINEA line = {};
  line.cbStruct = sizeof line;
  line.dwComponentType = MIXERLINE_COMPONENTTYPE_DST_SPEAKERS;
  if (mixerGetLineInfoA(Object(mixer), &line,
                        MIXER_OBJECTF_HMIXER | MIXER_GETLINEINFOF_COMPONENTTYPE) !=
      MMSYSERR_NOERROR)
    return 0;

  MIXERCONTROLA control = {};
  control.cbStruct = sizeof control;
  MIXERLINECONTROLSA controls = {};
  controls.cbStruct = sizeof controls;
  controls.dwLineID = line.dwLineID;
  controls.dwControlType = MIXERCONTROL_CONTROLTYPE_VOLUME;
  controls.cControls = 1;
  controls.cbmxctrl = sizeof control;
  controls.pamxctrl = &control;
  if (mixerGetLineControlsA(Object(mixer), &controls,
                            MIXER_OBJECTF_HMIXER | MIXER_GETLINECONTROLSF_ONEBYTYPE) !=
      MMSYSERR_NOERROR)
    return 0;
  *controlId = control.dwControlID;
  return 1;
}

int MixerGetValue(uintptr_t mixer, uint32_t controlId, uint32_t* value) {
  MIXERCONTROLDETAILS_UNSIGNED v = {};
  MIXERCONTROLDETAILS d = OneValue(controlId, &v);
  if (mixerGetControlDetailsA(Object(mixer), &d,
                              MIXER_OBJECTF_HMIXER | MIXER_GETCONTROLDETAILSF_VALUE) !=
      MMSYSERR_NOERROR)
    return 0;
  *value = v.dwValue;
  return 1;
}

int MixerSetValue(uintptr_t mixer, uint32_t controlId, uint32_t value) {
  MIXERCONTROLDETAILS_UNSIGNED v = {};
  MIXERCONTROLDETAILS d = OneValue(controlId, &v);
  if (mixerGetControlDetailsA(Object(mixer), &d,
                              MIXER_OBJECTF_HMIXER | MIXER_GETCONTROLDETAILSF_VALUE) !=
      MMSYSERR_NOERROR)
    return 0;
  v.dwValue = value;
  return mixerSetControlDetails(Object(mixer), &d,
                                MIXER_OBJECTF_HMIXER | MIXER_SETCONTROLDETAILSF_VALUE) ==
                 MMSYSERR_NOERROR
             ? 1
             : 0;
}

void MixerClose(uintptr_t mixer) {
  if (mixer)
    mixerClose(reinterpret_cast<HMIXER>(mixer));
}

}  // namespace win32
}  // namespace zunk
