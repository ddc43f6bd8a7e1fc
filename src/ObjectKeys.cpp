// Keys that act on the selected object when no edit box or dialog has the
// keys: Delete removes it, Control+D duplicates a model, Escape ends a drag
// of the handles or else clears the selection.
#include "CSceneEditor.h"

#include "ObjectKinds.h"

bool CSceneEditor::OnObjectKey(const SEvent::SKeyInput& keyInput)
{
	if (!keyInput.PressedDown)
		return false;
	switch (keyInput.Key)
	{
	case KEY_DELETE:
		if (SelectedModel)
			AsOneStep(
			    [this]
			    {
				    DeleteSelectedModel();
				    return true;
			    });
		return true;
	case KEY_KEY_D:
		if (!keyInput.Control)
			return false;
		DuplicateSelected();
		return true;
	case KEY_ESCAPE:
		if (!Handles.Cancel() && SelectedModel)
		{
			SelectedModel->setDebugDataVisible(false);
			SelectedModel = 0;
		}
		return true;
	default: return false;
	}
}

bool CSceneEditor::DuplicateSelected()
{
	const int from = SlotOf(SelectedModel);
	if (from < 0 || SelectedModel->MODEL_TYPE != CModel::TYPE_MESH)
		return false;
	return AsOneStep(
	    [&]
	    {
		    const int slot = NextModelSlot();
		    const SModelState* original = Document.Object(from);
		    if (slot == 0 || !original)
		    {
			    ShowMessage(L"Load Model Error!",
			                L"The scene is full. Use File, Clear to start again.");
			    return false;
		    }
		    SModelState copy = *original;
		    copy.Position =
		        KeptInWorld(copy.Position + core::vector3df(Transform.GridStep(), 0, 0));
		    current_model = slot;
		    CModel* model = BuildObject(slot, copy);
		    if (model)
			    Select(model);
		    return model != 0;
	    });
}
