// Selecting many objects: the set of selected slots beside the current
// object (SelectedModel), and the operations that act on every selected
// object at once.
#include "CSceneEditor.h"

#include <algorithm>

#include "ObjectKinds.h"
#include "SceneTree.h"

bool CSceneEditor::IsSelected(int slot) const
{
	const std::vector<int> slots = SelectedSlots();
	return std::find(slots.begin(), slots.end(), slot) != slots.end();
}

void CSceneEditor::AddToSelection(int slot)
{
	CModel* object = ObjectAt(slot);
	if (!ObjectNode(object))
		return;
	// The current object is selected whatever the set held before.
	if (const int current = SlotOf(SelectedModel); current >= 0)
		Selection.insert(current);
	else
		Selection.clear();
	Selection.insert(slot);
	if (SelectedModel)
		SelectedModel->setDebugDataVisible(false);
	SelectedModel = object;
	SelectNewSceneNode(false);
}

void CSceneEditor::ToggleSelected(int slot)
{
	if (!IsSelected(slot))
	{
		AddToSelection(slot);
		return;
	}
	std::vector<int> left = SelectedSlots();
	left.erase(std::find(left.begin(), left.end(), slot));
	Selection = std::set<int>(left.begin(), left.end());
	if (SelectedModel)
		SelectedModel->setDebugDataVisible(false);
	SelectedModel = left.empty() ? 0 : ObjectAt(left.back());
	SelectNewSceneNode(false);
}

std::vector<int> CSceneEditor::SelectedSlots() const
{
	std::vector<int> slots;
	const int current = SlotOf(SelectedModel);
	if (current < 0)
		return slots;
	for (int slot = 0; slot < MODEL_SLOTS; ++slot)
		if ((slot == current || Selection.count(slot)) && ObjectNode(ObjectAt(slot)))
			slots.push_back(slot);
	return slots;
}

std::vector<int> CSceneEditor::SelectionRoots() const
{
	const std::vector<int> slots = SelectedSlots();
	std::vector<int> roots;
	for (int slot : slots)
	{
		const bool carried = std::any_of(
		    slots.begin(), slots.end(),
		    [&](int other)
		    { return other != slot && scenetree::IsAncestor(Document.State(), other, slot); });
		if (!carried)
			roots.push_back(slot);
	}
	return roots;
}

void CSceneEditor::PruneSelection()
{
	for (auto it = Selection.begin(); it != Selection.end();)
		it = ObjectNode(ObjectAt(*it)) ? std::next(it) : Selection.erase(it);
}

bool CSceneEditor::DeleteSelection()
{
	const std::vector<int> roots = SelectionRoots();
	if (roots.size() < 2)
	{
		if (!SelectedModel)
			return false;
		AsOneStep(
		    [this]
		    {
			    DeleteSelectedModel();
			    return true;
		    });
		return true;
	}
	return AsOneStep(
	    [&]
	    {
		    // What hangs from each object goes with it.
		    for (int slot : roots)
		    {
			    AdoptObject(slot);
			    Execute(commands::RemoveTree(slot));
		    }
		    if (SelectedModel)
			    SelectedModel->setDebugDataVisible(false);
		    SelectedModel = 0;
		    Selection.clear();
		    return true;
	    });
}

bool CSceneEditor::DuplicateSelection()
{
	const std::vector<int> roots = SelectionRoots();
	if (roots.size() < 2)
		return DuplicateSelected();
	return AsOneStep(
	    [&]
	    {
		    // Each object is copied as the one selected; the copies are the
		    // selection after.
		    std::set<int> copies;
		    for (int slot : roots)
		    {
			    Select(ObjectAt(slot));
			    if (DuplicateSelected())
				    copies.insert(SlotOf(SelectedModel));
		    }
		    if (copies.empty())
			    return false;
		    Select(ObjectAt(*copies.rbegin()));
		    Selection = copies;
		    return true;
	    });
}

core::vector3df CSceneEditor::SelectionCentre() const
{
	const std::vector<int> slots = SelectedSlots();
	core::vector3df sum;
	for (int slot : slots)
		sum += scenetree::WorldTransform(Document.State(), slot).getTranslation();
	return slots.empty() ? sum : sum / static_cast<f32>(slots.size());
}

std::vector<scenetree::SHeld> CSceneEditor::HeldSelection() const
{
	std::vector<scenetree::SHeld> held;
	for (int slot : SelectionRoots())
		if (const SModelState* record = Document.Object(slot))
			held.push_back(
			    {slot, scenetree::WorldTransform(Document.State(), slot), record->Scale});
	return held;
}

bool CSceneEditor::PlaceHeld(const std::vector<scenetree::SHeld>& held, const core::matrix4& change,
                             const core::vector3df& pivot, const core::vector3df& factor)
{
	bool changed = false;
	for (const scenetree::SHeld& one : held)
	{
		const SModelState* record = Document.Object(one.Slot);
		if (!record)
			continue;
		// Scaled about the pivot: the offset grows with the object.
		core::matrix4 world = one.World;
		world.setTranslation(pivot + (world.getTranslation() - pivot) * factor);
		world = change * world;
		core::matrix4 toParent;
		if (record->Parent >= 0)
			scenetree::WorldTransform(Document.State(), record->Parent).getInverse(toParent);
		SModelState placed = *record;
		scenetree::SetTransform(placed, toParent * world);
		changed |= SetTransformOf(ObjectAt(one.Slot), placed.Position, placed.Rotation,
		                          one.Scale * factor);
	}
	return changed;
}

bool CSceneEditor::ChangeSelectionLike(const core::vector3df& position,
                                       const core::vector3df& rotation,
                                       const core::vector3df& scale, bool oneStep)
{
	const int current = SlotOf(SelectedModel);
	const SModelState* record = current >= 0 ? Document.Object(current) : 0;
	if (!record)
		return false;
	// The current object's change, in the world: the move of its place and
	// the turn from its old angles to the new ones.
	core::matrix4 parent;
	if (record->Parent >= 0)
		parent = scenetree::WorldTransform(Document.State(), record->Parent);
	core::vector3df from = record->Position, to = position;
	parent.transformVect(from);
	parent.transformVect(to);
	core::matrix4 parentTurn, oldTurn, newTurn, undoOld;
	parentTurn.setRotationDegrees(parent.getRotationDegrees());
	oldTurn.setRotationDegrees(record->Rotation);
	newTurn.setRotationDegrees(rotation);
	(parentTurn * oldTurn).getInverse(undoOld);
	const core::matrix4 turn = parentTurn * newTurn * undoOld;
	const core::vector3df factor(scale.X / record->Scale.X, scale.Y / record->Scale.Y,
	                             scale.Z / record->Scale.Z);
	const core::vector3df pivot = SelectionCentre();
	core::matrix4 there, back;
	there.setTranslation(pivot + (to - from));
	back.setTranslation(-pivot);
	const std::vector<scenetree::SHeld> held = HeldSelection();
	const auto place = [&] { return PlaceHeld(held, there * turn * back, pivot, factor); };
	return oneStep ? AsOneStep(place) : place();
}
