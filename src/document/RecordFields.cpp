// What walks the record's fields and needs nothing of the editor.
#include "RecordFields.h"

#include "FileNames.h"

void recordfields::SetName(CModel& object, const core::stringw& name)
{
	object.Name = name;
	std::string bytes;
	WideToFileName(name.c_str(), bytes);
	if (scene::ISceneNode* node = ObjectNode(&object))
		node->setName(bytes.c_str());
}

bool SModelState::operator==(const SModelState& other) const
{
	bool same = true;
	EachRecordField([&](const auto& field)
	                { same = same && SameValue(FieldOf(*this, field), FieldOf(other, field)); });
	return same;
}

bool RecordIsSound(const SModelState& record, std::string& field)
{
	bool sound = true;
	EachRecordField(
	    [&](const auto& each)
	    {
		    if (sound && each.Fits && !each.Fits(FieldOf(record, each)))
		    {
			    field = each.Name;
			    sound = false;
		    }
	    });
	if (!sound)
		return false;
	const SObjectKind* kind = KindOf(record.Type);
	if (record.Values.empty() && ValuesMayBeLeftOut(record.Type))
		return true;
	if (record.Values.size() != kind->ValueCount)
	{
		field = kind->ValueCount ? kind->ValueNames[0] : "Values";
		return false;
	}
	for (u32 i = 0; i < kind->ValueCount; ++i)
		if (!(record.Values[i] >= kind->LeastValues[i] && record.Values[i] <= kind->MostValues[i]))
		{
			field = kind->ValueNames[i];
			return false;
		}
	return true;
}
