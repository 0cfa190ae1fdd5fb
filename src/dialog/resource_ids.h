// The numeric identifiers of the dialog resources: templates, bitmaps and controls.
// Shared by the resource script and the code; plain #defines so that windres reads them.
#pragma once

// Templates, initialisation data and bitmaps.
#define IDD_SETTINGS 5000
#define IDD_ABOUT 5002
#define IDB_ABOUT_PICTURE 5004
#define IDB_PAD_CENTRE 5011
// The resource type of a template's initialisation data (the list items).
#define RT_DIALOG_INIT 240

// Buttons that close the dialog or open the about box.
#define IDC_OK_BUTTON 5002
#define IDC_ABOUT_BUTTON 5008
#define IDC_CANCEL_BUTTON 5103

// The position pad: four arrows, four corners and the (hidden) centre.
#define IDC_ARROW_LEFT 5082
#define IDC_ARROW_RIGHT 5083
#define IDC_ARROW_UP 5084
#define IDC_ARROW_DOWN 5085
#define IDC_CORNER_TOP_LEFT 5107
#define IDC_CORNER_BOTTOM_LEFT 5108
#define IDC_CORNER_TOP_RIGHT 5109
#define IDC_CORNER_BOTTOM_RIGHT 5110
#define IDC_CENTRE 5111
#define IDC_PAD_FRAME 5150

// Channel and template file.
#define IDC_CHANNEL_NAME 5145
#define IDC_CHANNEL_FRAME 5149
#define IDC_LOGO_FILE_NAME 5068
#define IDC_CHOOSE_TEMPLATE 5115
#define IDC_FILE_FRAME 5148
#define IDC_PREVIEW 5121
// Why the template file did not load, beside its name.
#define IDC_TEMPLATE_NOTE 5151
// The live capture of the logo from the picture, and its "Стоп".
#define IDC_CAPTURE 5152

// Colour key.
#define IDC_COLOR_KEY_SHOW 5102
#define IDC_CHOOSE_COLOR_KEY 5100
#define IDC_LEFT_TOP_PIXEL 5137

// Detector switches.
#define IDC_PROCESSING_ENABLE 5117
#define IDC_SHOW_LOGO 5120
#define IDC_TEST 5124

// Numeric edits, their spins and labels.
#define IDC_LOGO_TRANSPARENCY_LABEL 5130
#define IDC_LOGO_TRANSPARENCY 5089
#define IDC_LOGO_TRANSPARENCY_SPIN 5090
#define IDC_OFF_SPEED 5091
#define IDC_OFF_SPEED_SPIN 5092
#define IDC_OFF_SPEED_LABEL 5131
#define IDC_ON_SPEED 5093
#define IDC_ON_SPEED_SPIN 5094
#define IDC_ON_SPEED_LABEL 5132
#define IDC_DETECT_LEVEL 5095
#define IDC_DETECT_LEVEL_SPIN 5096
#define IDC_DETECT_LEVEL_LABEL 5133
#define IDC_MATCH_LEVEL 5097
#define IDC_MATCH_LEVEL_SPIN 5099
#define IDC_MATCH_LEVEL_LABEL 5134
#define IDC_TOLERANCE 5106
#define IDC_TOLERANCE_SPIN 5112
#define IDC_TOLERANCE_LABEL 5143
#define IDC_MSG_TRANSPARENCY 5098
#define IDC_MSG_TRANSPARENCY_SPIN 5101
#define IDC_MSG_TRANSPARENCY_LABEL 5142

// Level bars.
#define IDC_DETECTION_BAR 5123
#define IDC_MATCH_BAR 5127

// Reactions.
#define IDC_PREVIEW_ACTION_LABEL 5135
#define IDC_PREVIEW_ACTION 5128
#define IDC_RECORD_ACTION_LABEL 5136
#define IDC_RECORD_ACTION 5129
// The hint shown while neither reaction is chosen.
#define IDC_REACTION_NOTE 5153

// On-screen message.
#define IDC_MSG_ENABLE 5138
#define IDC_MSG_STRING 5139
#define IDC_MSG_BACK_ENABLE 5144
#define IDC_MSG_BACK_COLOR 5104
#define IDC_MSG_BACK_COLOR_LABEL 5140
#define IDC_MSG_TEXT_COLOR 5105
#define IDC_MSG_TEXT_COLOR_LABEL 5141
