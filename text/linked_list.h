// Doubly linked lists of records that carry their own previous and next
// pointers, with the first, last and count kept by the owner (a hash
// bucket, a font's pages). Records are appended at the end.
#pragma once

template <typename Record, typename Count>
void AppendToList(Record*& first, Record*& last, Count& count, Record* record)
{
    record->previous = last;
    record->next = nullptr;
    if (last)
        last->next = record;
    else
        first = record;
    last = record;
    count += 1;
}

template <typename Record, typename Count>
void UnlinkFromList(Record*& first, Record*& last, Count& count, Record* record)
{
    if (record->previous)
        record->previous->next = record->next;
    else
        first = record->next;
    if (record->next)
        record->next->previous = record->previous;
    else
        last = record->previous;
    record->previous = nullptr;
    record->next = nullptr;
    count -= 1;
}

// Deletes every record of the list and leaves it empty.
template <typename Record, typename Count>
void DeleteList(Record*& first, Record*& last, Count& count)
{
    while (first) {
        Record* next = first->next;
        delete first;
        first = next;
    }
    last = nullptr;
    count = 0;
}
