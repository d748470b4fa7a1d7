#!/bin/sh
# Starts the updater from its own folder, where it finds skins/ridozuveza.dll and
# libISPdll.so. exec keeps the process id, so the window belongs to the process that started.
here=$(dirname "$(readlink -f "$0")")
exec "$here/../lib/nerith-update/nerith-update"
