[DEFAULT MESSAGES]
DM_NOTFOUND=Datei nicht gefunden
[]=odd
[CONFMSG]
CONFDEL=Löschen?
