// The editor's object and world operations, the text-field focus guard and
// the level export.
#include "CSceneEditor.h"

bool CSceneEditor::CheckEditBoxFocus()
{
	gui::IGUIEditBox* const boxes[] = {mpw_boxFileName,  mpw_boxTexture,  mpw_boxTexture2,
	                                   sow_editboxDir,   sbw_editboxDir,  sbw_editboxUp,
	                                   sbw_editboxDown,  sbw_editboxLeft, sbw_editboxRight,
	                                   sbw_editboxFront, sbw_editboxBack};
	for (gui::IGUIEditBox* box : boxes)
		if (box && _gui->hasFocus(box))
			return true;
	return false;
}
