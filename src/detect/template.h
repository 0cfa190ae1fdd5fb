// The logo template: a picture and the buffers prepared from it at a stream's scale. The
// frame pipeline keeps one set of buffers (pipeline/stream_template.h); anyone else who
// matches frames (learning on its own thread) prepares a set of its own from a picture of
// its own. Nothing here reads a file or keeps state of its own.
#pragma once

#include <cstdint>

namespace zunk {

// A template file's picture at its own size bmW x bmH: top-down, 4 bytes per pixel
// B, G, R, X.
struct TemplatePictureData {
  uint32_t* pixels;  // null before the first successful load
  int32_t width;     // bmW
  int32_t height;    // bmH
};

// A template prepared for matching frames of one size: the picture at that scale and the
// work buffers of the search. Zero-initialised it holds nothing; FreeTemplateBuffers
// returns it to that.
struct TemplateBuffers {
  int32_t Prepared;             // 1 while every buffer below is prepared
  int32_t TemplateWidth;        // tw: the template at the stream's scale
  int32_t TemplateHeight;       // th
  int32_t SearchHalfWidth;      // S the search window was made for
  uint8_t* TemplateImage;       // WorkBuffer tw x th: the template at the stream's scale
  uint8_t* TemplateNormalised;  // the same with its mean grey removed
  uint8_t* SearchWindow;        // WorkBuffer (tw + 2S) x th: the frame around the logo
  // The placement sums' byte planes (see kernels/placement_sad.h): the window's, the
  // template's for the grey level TemplatePlanesGrey (-1: not made yet), and the sums.
  uint8_t* SearchPlanes;
  uint8_t* TemplatePlanes;
  int32_t TemplatePlanesGrey;
  uint32_t TemplatePlanesKey;
  uint32_t TemplatePlanesExcess[3];
  uint32_t TemplatePlanesCounted;
  uint32_t* PlacementSums;
  // Planes for the frame's own planes at the expected place, made for the key KeyPlanesKey
  // while KeyPlanesMade: the picture's bytes with its mask (the match percentage), and
  // zero bytes under the normalised template's mask (the sums of the frame's bytes under
  // it, for the mean colour).
  uint8_t* ImagePlanes;
  uint8_t* MeanPlanes;
  int32_t KeyPlanesMade;
  uint32_t KeyPlanesKey;
  uint32_t ImagePlanesExcess[3];
  uint32_t ImagePlanesCounted;
  uint32_t MeanPlanesCounted;
  // The normalised template as words and a histogram of them for the key KeyPlanesKey, from
  // which its planes for a grey level are made quickly (kernels/placement_sad.h); unusable
  // (0) when a word lies beyond a byte's range of the grey.
  int16_t* TemplateWords;
  uint32_t* TemplateHistogram;
  int32_t TemplateWordsUsable;
  uint32_t TemplateWordsCounted;
};

// Prepares `b` from a picture for W x H frames searched S pixels to either side, with the
// colour key `colorKey`. Returns b->Prepared: false when the template vanishes at this scale,
// does not fit the frame, or memory runs out (the buffers are then unusable, not freed).
bool PrepareTemplateBuffers(TemplateBuffers* b,
                            const TemplatePictureData& picture,
                            int32_t W,
                            int32_t H,
                            int32_t S,
                            uint32_t colorKey);
// Frees every buffer of `b` and clears it.
void FreeTemplateBuffers(TemplateBuffers* b);

}  // namespace zunk
