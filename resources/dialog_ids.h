/*
 * The numbers of the plug-in's three dialogs and of every control in them,
 * each named after what it is. The resource compiler reads this file as
 * well as the compiler, so it holds #defines only. The dialogs' code, the
 * flag tables and the tests name controls through it; no other file writes
 * one of these numbers.
 *
 * OK and Cancel are the system's IDOK and IDCANCEL, so that Enter and
 * Escape reach them; files that use those names include <windows.h> first.
 */
#ifndef RESOURCES_DIALOG_IDS_H
#define RESOURCES_DIALOG_IDS_H

/* The three dialog templates. */
#define IDD_ENTRY_CRITERIA 20128
#define IDD_TEXT_OPTIONS 20129
#define IDD_TEXT_RESULTS 20130

/*
 * Entry criteria (IDD_ENTRY_CRITERIA): the page caption, the value
 * criteria, the buttons, and one three-state box per row of the flag tables.
 */
#define IDC_CRITERIA_CAPTION 101
#define IDC_CRITERIA_ENTRY_GROUP 111
#define IDC_CRITERIA_DURATION_BOX 112
#define IDC_CRITERIA_DURATION_EDIT 113
#define IDC_CRITERIA_POSITION_BOX 114
#define IDC_CRITERIA_POSITION_EDIT 115
#define IDC_CRITERIA_NOTE_GROUP 151
#define IDC_CRITERIA_DISPLACEMENT_BOX 152
#define IDC_CRITERIA_DISPLACEMENT_EDIT 153
#define IDC_CRITERIA_RAISE_LOWER_BOX 154
#define IDC_CRITERIA_RAISE_LOWER_EDIT 155
#define IDC_CRITERIA_BOOLEAN_GROUP 201
#define IDC_CRITERIA_AND 202
#define IDC_CRITERIA_OR 203
#define IDC_CRITERIA_GO 204
#define IDC_CRITERIA_DONE 205
#define IDC_CRITERIA_SEARCH 206
#define IDC_CRITERIA_RESET 207
#define IDC_CRITERIA_DANGER_LEGEND 210
#define IDC_CRITERIA_CANCEL IDCANCEL

/* The entry flags' boxes. */
#define IDC_ENTRY_LEGALITY 116
#define IDC_ENTRY_NOTE_REST 117
#define IDC_ENTRY_V2_LAUNCH 118
#define IDC_ENTRY_VOICE_2 119
#define IDC_ENTRY_CHORD 120
#define IDC_ENTRY_CLEF_CHANGE 121
#define IDC_ENTRY_FLOAT_REST 122
#define IDC_ENTRY_FLAT_BEAM 123
#define IDC_ENTRY_GRACE 124
#define IDC_ENTRY_NOTE_DETAIL 125
#define IDC_ENTRY_ARTICULATION 126
#define IDC_ENTRY_STAFF_EXPR 127
#define IDC_ENTRY_LYRICS 128
#define IDC_ENTRY_TUPLET 129
#define IDC_ENTRY_V2_TUP_PARA 130
#define IDC_ENTRY_PERF_DATA 131
#define IDC_ENTRY_SLASH_GRACE 132
#define IDC_ENTRY_IGNORE 133
#define IDC_ENTRY_BEAM_EXT 134
#define IDC_ENTRY_FLIP_TIE 135
#define IDC_ENTRY_SPECIAL 136
#define IDC_ENTRY_BEAM_BEAT 137
#define IDC_ENTRY_SEC_BEAM 138
#define IDC_ENTRY_FREEZE_STEM 139
#define IDC_ENTRY_STEM_DETAIL 140
#define IDC_ENTRY_CROSS_UP 141
#define IDC_ENTRY_REVERSE_UP 142
#define IDC_ENTRY_REVERSE_DN 143
#define IDC_ENTRY_DOUBLE_STEM 144
#define IDC_ENTRY_SPLIT_STEM 145
#define IDC_ENTRY_UP_DOWN 146
#define IDC_ENTRY_NO_LEDGER 147
#define IDC_ENTRY_SLUR 148
#define IDC_ENTRY_IS_TUPLET 149

/* The note flags' boxes. */
#define IDC_NOTE_LEGALITY 156
#define IDC_NOTE_TIE_START 157
#define IDC_NOTE_TIE_END 158
#define IDC_NOTE_CROSS_NOTE 159
#define IDC_NOTE_UPSTEM_2ND 160
#define IDC_NOTE_UPSTEM_SPLIT 161
#define IDC_NOTE_DOWNSTEM_2ND 162
#define IDC_NOTE_ACCIDENTAL 163
#define IDC_NOTE_PAREN_ACCIDENTAL 164
#define IDC_NOTE_FREEZE_ACCIDENTAL 165

/*
 * Text options (IDD_TEXT_OPTIONS). The eight element boxes have
 * consecutive ids in the order of the element switches of the preferences
 * record, page text blocks first and lyrics last.
 */
#define IDC_OPTIONS_SEARCH_LABEL (-1) /* a label: no id of its own */
#define IDC_OPTIONS_SEARCH_EDIT 101
#define IDC_OPTIONS_CASE_BOX 102
#define IDC_OPTIONS_TAGS_BOX 104
#define IDC_OPTIONS_REPLACE_BOX 105
#define IDC_OPTIONS_REPLACE_EDIT 106
#define IDC_OPTIONS_ELEMENT_GROUP 107
#define IDC_OPTIONS_PAGE_TEXT_BLOCKS 108
#define IDC_OPTIONS_MEASURE_TEXT_BLOCKS 109
#define IDC_OPTIONS_TEXT_EXPRESSIONS 110
#define IDC_OPTIONS_STAFF_NAMES 111
#define IDC_OPTIONS_GROUP_NAMES 112
#define IDC_OPTIONS_TEXT_REPEATS 113
#define IDC_OPTIONS_ENDING_REPEATS 114
#define IDC_OPTIONS_LYRICS 115
#define IDC_OPTIONS_GO IDOK
#define IDC_OPTIONS_CANCEL IDCANCEL

/*
 * Search results (IDD_TEXT_RESULTS): the answer buttons and six lines of
 * text, with consecutive ids from line 1 on. Line 3 shows the text that
 * holds the match, in bold; line 6 asks whether to replace.
 */
#define IDC_RESULTS_YES 101
#define IDC_RESULTS_NO 102
#define IDC_RESULTS_YES_TO_ALL 103
#define IDC_RESULTS_NEXT 104
#define IDC_RESULTS_LINE_1 105
#define IDC_RESULTS_LINE_2 106
#define IDC_RESULTS_LINE_3 107
#define IDC_RESULTS_LINE_4 108
#define IDC_RESULTS_LINE_5 109
#define IDC_RESULTS_LINE_6 110
#define IDC_RESULTS_OK IDOK
#define IDC_RESULTS_CANCEL IDCANCEL

#endif /* RESOURCES_DIALOG_IDS_H */
