#!/usr/bin/env python3
"""Writes the shipped language files resources/language/{MSGTXT,ORVMSG}.{GER,ENG,FRA}.

The texts live here as Python data, one row per key with the German, English
and French text side by side, so that no language can lose a key. The files are
written the way the program reads them: sectioned text, Windows-1252, CR LF.

    tools/make_language_files.py            write the files
    tools/make_language_files.py --check    exit 1 when a file is out of date
"""

import argparse
import pathlib
import sys

LANGUAGES = ("GER", "ENG", "FRA")
MAX_LINE = 255  # the sectioned text file cuts longer lines

# --- "MSGTXT": titles and button captions of the standard message boxes -----

MSGTXT = [
    ("GeneralDialogs", [
        ("Warning", "Warnung", "Warning", "Avertissement"),
        ("Error", "Fehler", "Error", "Erreur"),
        ("Information", "Information", "Information", "Information"),
        ("Confirmation", "Bestätigung", "Confirmation", "Confirmation"),
    ]),
    # Both the Cancel and the Abort button of a box take "AbortBtn".
    ("GeneralButtons", [
        ("YesBtn", "&Ja", "&Yes", "&Oui"),
        ("NoBtn", "&Nein", "&No", "&Non"),
        ("AbortBtn", "&Abbrechen", "&Cancel", "&Annuler"),
        ("OKBtn", "OK", "OK", "OK"),
        ("IgnoreBtn", "&Ignorieren", "&Ignore", "&Ignorer"),
        ("AllBtn", "&Alle", "&All", "&Tous"),
        ("RetryBtn", "&Wiederholen", "&Retry", "&Réessayer"),
    ]),
    # A shared speed button takes its caption from "GeneralButtons" under its
    # component name and its hint from here under name + "Hint".
    ("GeneralButtonsHint", [
        ("YesBtnHint", "Mit Ja bestätigen", "Answer yes", "Répondre oui"),
        ("NoBtnHint", "Mit Nein ablehnen", "Answer no", "Répondre non"),
        ("AbortBtnHint", "Abbrechen, ohne Änderungen zu übernehmen",
         "Cancel without applying any changes", "Annuler sans appliquer les modifications"),
        ("OKBtnHint", "Eingaben übernehmen und schließen",
         "Apply the entries and close", "Appliquer les saisies et fermer"),
        ("IgnoreBtnHint", "Fehler übergehen und fortfahren",
         "Ignore the error and continue", "Ignorer l'erreur et continuer"),
        ("AllBtnHint", "Für alle weiteren Dateien ebenso verfahren",
         "Do the same for all remaining files", "Procéder de même pour tous les fichiers suivants"),
        ("RetryBtnHint", "Vorgang wiederholen", "Try again", "Réessayer l'opération"),
    ]),
]

# --- "ORVMSG": messages, labels and the texts of evaluations and printouts ---

ORVMSG = [
    ("DEFAULT MESSAGES", [
        # last item of a preset list; it enables manual entry
        ("DMUSER", "benutzerdefiniert", "user-defined", "défini par l'utilisateur"),
        ("DM_ABORT",
         "Wollen Sie wirklich abbrechen? Die Leuchtendatei wird nicht angelegt.",
         "Do you really want to cancel? The luminaire file will not be created.",
         "Voulez-vous vraiment annuler ? Le fichier du luminaire ne sera pas créé."),
        ("DM_ALLOK",
         "Alle Vorgänge wurden erfolgreich abgeschlossen.",
         "All operations were completed successfully.",
         "Toutes les opérations se sont terminées avec succès."),
        ("DM_APPLYLUM",
         "Sollen die geänderten Koordinaten und Symmetrien in die Leuchtendaten übernommen werden?",
         "Apply the changed coordinates and symmetry to the luminaire data?",
         "Appliquer les coordonnées et la symétrie modifiées aux données du luminaire ?"),
        # followed by a line with the path; the record editor before writing a file
        ("DM_CHANGED",
         "Die Datei wurde seit dem Öffnen von einem anderen Programm geändert oder entfernt. Soll sie überschrieben werden?",
         "The file was changed or removed by another program since it was opened. Overwrite it?",
         "Le fichier a été modifié ou supprimé par un autre programme depuis son ouverture. Voulez-vous l'écraser ?"),
        ("DM_CLEAR",
         "Sollen wirklich alle Einträge aus der Leuchtendatenbank gelöscht werden?",
         "Do you really want to delete all entries from the luminaire database?",
         "Voulez-vous vraiment supprimer toutes les entrées de la base de données des luminaires ?"),
        # followed by " : " and the engine's error number
        ("DM_DBERROR", "Datenbankfehler", "Database error", "Erreur de base de données"),
        # DM_FILE + file name + DM_EXISTS + DM_OVERWR, joined by blanks
        ("DM_EXISTS",
         "ist im Stammverzeichnis bereits vorhanden.",
         "already exists in the root directory.",
         "existe déjà dans le répertoire racine."),
        ("DM_FILE", "Die Datei", "The file", "Le fichier"),
        ("DM_FORGETFILES",
         "Die Dateiliste enthält noch Einträge. Soll die Liste verworfen werden?",
         "The file list still holds entries. Discard the list?",
         "La liste des fichiers contient encore des entrées. Abandonner la liste ?"),
        # status bar: record count, a blank, this text
        ("DM_ITEMS", "Einträge", "entries", "entrées"),
        ("DM_LAMPINITERR",
         "Die Lampentabelle kann nicht geöffnet werden.",
         "The lamp table cannot be opened.",
         "Impossible d'ouvrir la table des lampes."),
        ("DM_LUMLOADERR",
         "Die Leuchtendatei kann nicht gelesen werden.",
         "The luminaire file cannot be read.",
         "Impossible de lire le fichier du luminaire."),
        ("DM_MULTI",
         "Mehrfachauswahl: Strg+Klick nimmt einen Eintrag in die Dateiliste auf oder entfernt ihn, "
         "Umschalt+Klick nimmt alle Einträge vom aktuellen bis zum angeklickten auf; "
         "die Taste Einfg übernimmt den aktuellen Eintrag und geht zum nächsten.",
         "Multiple selection: Ctrl+click adds an entry to the file list or removes it, "
         "Shift+click adds every entry from the current one to the one clicked; "
         "the Insert key adds the current entry and moves to the next.",
         "Sélection multiple : Ctrl+clic ajoute une entrée à la liste des fichiers ou l'en retire, "
         "Maj+clic ajoute toutes les entrées de l'entrée actuelle à celle cliquée ; "
         "la touche Inser ajoute l'entrée actuelle et passe à la suivante."),
        ("DM_NOBEST",
         "Bitte geben Sie die Anzahl der Lampen an.",
         "Please enter the number of lamps.",
         "Veuillez indiquer le nombre de lampes."),
        ("DM_NOFILE",
         "Bitte wählen Sie eine Leuchtendatei aus.",
         "Please choose a luminaire file.",
         "Veuillez choisir un fichier de luminaire."),
        ("DM_NOFN",
         "Bitte geben Sie einen gültigen Dateinamen ein.",
         "Please enter a valid file name.",
         "Veuillez saisir un nom de fichier valide."),
        ("DM_NOLAMP",
         "Bitte geben Sie den Lichtstrom der Lampen an.",
         "Please enter the luminous flux of the lamps.",
         "Veuillez indiquer le flux lumineux des lampes."),
        ("DM_NOLDIM",
         "Bitte geben Sie die Länge der Leuchte an.",
         "Please enter the length of the luminaire.",
         "Veuillez indiquer la longueur du luminaire."),
        ("DM_NOLLDIM",
         "Bitte geben Sie die Länge der leuchtenden Fläche an.",
         "Please enter the length of the luminous area.",
         "Veuillez indiquer la longueur de la surface lumineuse."),
        # followed by " : " and the file name or path
        ("DM_NOTFOUND", "Datei nicht gefunden", "File not found", "Fichier introuvable"),
        # followed by " : " and the path; a language file that could not be saved
        ("DM_NOWRITE", "Die Datei kann nicht geschrieben werden", "The file cannot be written",
         "Le fichier ne peut pas être écrit"),
        ("DM_NoEd",
         "Dateien dieses Formats können nicht bearbeitet werden; die Daten werden nur angezeigt.",
         "Files of this format cannot be edited; the data are shown read-only.",
         "Les fichiers de ce format ne sont pas modifiables ; les données sont affichées en lecture seule."),
        ("DM_OVERWR", "Soll sie überschrieben werden?", "Overwrite it?", "Voulez-vous l'écraser ?"),
        ("DM_REPLACE",
         "Die Datei ist bereits vorhanden. Soll sie ersetzt werden?",
         "The file already exists. Replace it?",
         "Le fichier existe déjà. Voulez-vous le remplacer ?"),
        # title of the wait window while files are taken into the catalogue
        ("DM_WAIT", "Bitte warten ...", "Please wait ...", "Veuillez patienter ..."),
    ]),
    # The browser window's own messages: summaries, the About box, help.
    ("BROWSER", [
        # "<n> added, <n> updated, <n> failed" after adding files
        ("BR_ADDED", "hinzugefügt", "added", "ajoutés"),
        ("BR_UPDATED", "aktualisiert", "updated", "mis à jour"),
        ("BR_FAILED", "fehlgeschlagen", "failed", "en échec"),
        ("BR_KEPT", "unverändert behalten", "kept unchanged", "conservés sans modification"),
        # followed by the full path of the error list
        ("BR_FAILLIST",
         "Die fehlgeschlagenen Dateien stehen in",
         "The files that failed are listed in",
         "Les fichiers en échec sont listés dans"),
        # after the summary when the user cancelled "add all"
        ("BR_SCANCANCEL",
         "Abgebrochen: Die Dateien davor wurden gespeichert, die übrigen nicht angesehen.",
         "Cancelled: the files before were stored, the others not looked at.",
         "Annulé : les fichiers précédents ont été enregistrés, les autres n'ont pas été examinés."),
        # heading of the file checks' findings in the info pane
        ("BR_PROBLEMS", "Probleme der Datei", "Problems of the file", "Problèmes du fichier"),
        ("BR_ALLFILES", "Alle photometrischen Dateien", "All photometric files",
         "Tous les fichiers photométriques"),
        ("BR_INUSE",
         "Der Leuchtenkatalog wird von einem anderen Programm benutzt. Kandelo wird beendet.",
         "The luminaire catalogue is in use by another program. Kandelo ends.",
         "Le catalogue des luminaires est utilisé par un autre programme. Kandelo se termine."),
        # followed by the process number
        ("BR_PROCESS", "Prozess", "process", "processus"),
        ("BR_VERSION", "Version", "Version", "Version"),
        # (the key of the former "all rights reserved" is left to old installations)
        ("BR_LICENSE", "Lizenz: Apache License 2.0 (SPDX: Apache-2.0)", "Licence: Apache License 2.0 (SPDX: Apache-2.0)",
         "Licence : Apache License 2.0 (SPDX : Apache-2.0)"),
        ("BR_PROGDIR", "Programmverzeichnis", "Program directory", "Répertoire du programme"),
        ("BR_SETTINGS", "Einstellungen", "Settings", "Paramètres"),
        ("BR_LUMDIRS", "Leuchtenverzeichnisse", "Luminaire directories", "Répertoires des luminaires"),
        ("BR_CATALOGUE", "Katalog", "Catalogue", "Catalogue"),
        ("BR_HELP", "Hilfe", "Help", "Aide"),
        # once after an update of the program; the file names follow
        ("BR_LANGUPDATED",
         "Die Sprachdateien haben die neuen Texte dieser Version erhalten; eigene Übersetzungen blieben erhalten:",
         "The language files received the new texts of this version; your own translations were kept:",
         "Les fichiers de langue ont reçu les nouveaux textes de cette version ; vos traductions ont été conservées :"),
        ("BR_LANGFAILED",
         "Diese Sprachdateien konnten nicht ergänzt werden; wo ihnen ein Text fehlt, erscheint der eingebaute:",
         "These language files could not be completed; where they lack a text, the built-in one shows:",
         "Ces fichiers de langue n'ont pas pu être complétés ; là où un texte manque, le texte intégré s'affiche :"),
        # the filter row above the table: "12 of 20000 entries", the range
        # boxes' hints, the free field's hint and "fault in column 7"
        ("BR_OF", "von", "of", "sur"),
        ("BR_FLTFROM", "von (kleinster Wert)", "from (smallest value)", "de (plus petite valeur)"),
        ("BR_FLTTO", "bis (größter Wert)", "up to (largest value)", "jusqu'à (plus grande valeur)"),
        ("BR_FLTEXPR",
         "Abfrage, z. B. flux>=3000 and cct=4000 and ugr<19 and beam<60; Felder: flux lamp_flux lor dff "
         "watt efficacy cct cri imax beam_c0 beam_c90 beam ugr shr lamp_sets problems manufacturer name "
         "number file format litg",
         "Query, e.g. flux>=3000 and cct=4000 and ugr<19 and beam<60; fields: flux lamp_flux lor dff "
         "watt efficacy cct cri imax beam_c0 beam_c90 beam ugr shr lamp_sets problems manufacturer name "
         "number file format litg",
         "Requête, p. ex. flux>=3000 and cct=4000 and ugr<19 and beam<60 ; champs : flux lamp_flux lor dff "
         "watt efficacy cct cri imax beam_c0 beam_c90 beam ugr shr lamp_sets problems manufacturer name "
         "number file format litg"),
        ("BR_FLTFAULT", "Fehler ab Spalte", "Fault in column", "Erreur à la colonne"),
    ]),
    # one-line messages of the command line; the file name comes before them
    ("COMMANDLINE", [
        ("CL_NOTFOUND", "Datei nicht gefunden", "file not found", "fichier introuvable"),
        ("CL_NOTREGULAR", "keine gewöhnliche Datei (FIFO, Gerät oder Socket)",
         "not a regular file (FIFO, device or socket)",
         "pas un fichier ordinaire (FIFO, périphérique ou socket)"),
        ("CL_UNKNOWN", "keine Leuchtendatei in einem bekannten Format",
         "not a photometric file in a known format", "pas un fichier photométrique d'un format connu"),
        ("CL_DAMAGED", "beschädigt", "damaged", "endommagé"),
        ("CL_RANGE", "Werte außerhalb des Bereichs der Tabelle (über 1e30 oder keine Zahl)",
         "values beyond the range of the table (above 1e30 or no number)",
         "valeurs hors de la plage du tableau (au-delà de 1e30 ou non numériques)"),
        ("CL_NOREADBACK", "die geschriebene Datei lässt sich nicht wieder lesen und wurde entfernt",
         "the file written does not read back and was removed",
         "le fichier écrit ne se relit pas et a été supprimé"),
        ("CL_NOWRITE", "kann nicht geschrieben werden", "cannot be written", "ne peut pas être écrit"),
        # why a file cannot be written, in brackets after CL_NOWRITE
        ("CL_DISKFULL", "der Datenträger ist voll", "the disk is full", "le disque est plein"),
        ("CL_TOOLARGE", "die Datei überschreitet die vom System erlaubte Größe",
         "the file exceeds the size the system allows", "le fichier dépasse la taille permise par le système"),
        ("CL_NAMELONG", "der Dateiname ist zu lang", "the file name is too long", "le nom du fichier est trop long"),
        ("CL_NOACCESS", "keine Schreibberechtigung dort", "no permission to write there",
         "pas d'autorisation d'écrire à cet endroit"),
        ("CL_READONLY", "der Datenträger ist schreibgeschützt", "the medium is read-only", "le support est en lecture seule"),
        ("CL_NOFOLDER", "der Ordner existiert nicht", "the folder does not exist", "le dossier n'existe pas"),
        ("CL_EXISTS", "ist bereits vorhanden (--overwrite ersetzt die Datei)", "exists already (--overwrite replaces it)",
         "existe déjà (--overwrite le remplace)"),
        ("CL_BUSY", "Ein anderes Programm hält den Katalog", "Another program holds the catalogue",
         "Un autre programme tient le catalogue"),
        ("CL_PROCESS", "Prozess", "process", "processus"),
        ("CL_DATALOST",
         "Die Datendatei des Katalogs fehlt oder ist gekürzt; der Index bleibt erhalten. "
         "Neu aufbauen mit: kandelo-cli catalogue rebuild",
         "The catalogue's data file is missing or cut short; the index is kept. "
         "Rebuild with: kandelo-cli catalogue rebuild",
         "Le fichier de données du catalogue manque ou est tronqué ; l'index est conservé. "
         "Reconstruire avec : kandelo-cli catalogue rebuild"),
        ("CL_NOTCOPIED", "lässt sich nicht in das Leuchtenverzeichnis kopieren",
         "cannot be copied into the luminaire directory", "ne peut pas être copié dans le répertoire des luminaires"),
        ("CL_NOPATHENTRY", "ihr Verzeichnis lässt sich nicht in die Pfadliste eintragen",
         "its directory cannot be entered in the path list",
         "son répertoire ne peut pas être inscrit dans la liste des chemins"),
        ("CL_NOTSTORED", "nicht im Katalog gespeichert", "not stored in the catalogue",
         "non enregistré dans le catalogue"),
        ("CL_DROPPED", "Datensätze verworfen, weil sie die Prüfung nicht bestehen",
         "records dropped because they fail the record checks",
         "enregistrements écartés car ils ne passent pas les contrôles"),
        # the catalogue list commands
        ("CL_LISTEMPTY", "im gewählten Bereich liegen keine Katalogeinträge",
         "no catalogue entries lie in the chosen range",
         "aucune entrée du catalogue dans la plage choisie"),
        ("CL_REVERSED", "--from sortiert nach --to", "--from sorts after --to", "--from se trie après --to"),
        # --size of the diagram command, followed by the size given
        ("CL_SIZELIMIT", "ein Bild hat höchstens 10000 Pixel je Seite", "a picture is at most 10000 pixels a side",
         "une image a au plus 10000 pixels de côté"),
    ]),
    # The catalogue list (filter dialog, printed list and ".TXT" export).
    ("LISTPRINT", [
        ("LP_MAKER", "Hersteller", "Manufacturer", "Fabricant"),
        ("LP_NAME", "Leuchtentyp", "Luminaire type", "Type de luminaire"),
        ("LP_NUMBER", "Leuchtennummer", "Luminaire number", "Référence"),
        ("LP_FILE", "Dateiname", "File name", "Nom du fichier"),
        ("LP_FORMAT", "Format", "Format", "Format"),
        # "Seite 1 / 2"
        ("LP_PAGE", "Seite", "Page", "Page"),
        ("LP_TITLE", "Liste drucken", "Print list", "Imprimer la liste"),
        ("LP_EMPTY", "Im gewählten Bereich liegen keine Katalogeinträge.",
         "No catalogue entries lie in the chosen range.", "Aucune entrée du catalogue dans la plage choisie."),
        ("LP_NOEXPORT", "Die Listendatei konnte nicht geschrieben werden:",
         "The list file could not be written:", "Le fichier de liste n'a pas pu être écrit :"),
        # followed by the file name and the number of entries
        ("LP_WRITTEN", "Die Liste wurde geschrieben nach", "The list was written to", "La liste a été écrite dans"),
        ("LP_NOTWRITTEN", "Die Liste konnte nicht geschrieben werden:", "The list could not be written:",
         "La liste n'a pas pu être écrite :"),
        ("LP_NOLIST", "Die Listendatei konnte nicht gelesen werden:", "The list file could not be read:",
         "Le fichier de liste n'a pas pu être lu :"),
        ("LP_NOTPRINTED", "Die Liste konnte nicht gedruckt werden:", "The list could not be printed:",
         "La liste n'a pas pu être imprimée :"),
    ]),
    ("LAMPS", [
        ("LP_EXISTS", "Lampe existiert bereits !", "Lamp already exists !", "La lampe existe déjà !"),
        ("LP_NOTYPE", "Bitte die Lampenbezeichnung angeben.", "Please give the lamp type.",
         "Veuillez indiquer le type de lampe."),
        ("LP_BADTEXT",
         "die Lampenbezeichnung enthält Zeichen, die die Lampentabelle nicht speichern kann "
         "(nur westeuropäische Buchstaben, keine Tabulatoren oder Zeilenumbrüche)",
         "the lamp type holds characters the lamp table cannot store (only Western European letters, "
         "no tabs or line breaks)",
         "le type de lampe contient des caractères que la table des lampes ne peut pas enregistrer "
         "(seulement des lettres d'Europe occidentale, ni tabulations ni sauts de ligne)"),
    ]),
    ("TEXTVIEW", [
        ("TV_UNDO", "Änderungen rückgängig machen ?", "Undo the changes?", "Annuler les modifications ?"),
        ("TV_SAVE", "Änderungen speichern ?", "Save the changes?", "Enregistrer les modifications ?"),
        ("TV_NOTSAVED", "Die Datei konnte nicht geschrieben werden:", "The file could not be written:",
         "Le fichier n'a pas pu être écrit :"),
    ]),
    ("SETUP", [
        ("ST_NOPRINTER", "Es ist kein Drucker installiert.", "No printer is installed.",
         "Aucune imprimante n'est installée."),
        # texts the settings file cannot keep (the settings dialog and "settings set")
        ("ST_LINEBREAK", "Zeilenumbrüche und NUL-Zeichen lassen sich nicht in den Einstellungen speichern",
         "line breaks and NUL characters cannot be stored in the settings",
         "les sauts de ligne et les caractères NUL ne peuvent pas être enregistrés dans les paramètres"),
        ("ST_SECTION", "ein Abschnittsname darf nicht leer sein und weder [ noch ] enthalten",
         "a section name must not be empty or contain [ or ]",
         "un nom de section ne doit pas être vide ni contenir [ ou ]"),
        ("ST_VALUENAME", "ein Wertname darf nicht leer sein, kein = enthalten und nicht mit [ beginnen",
         "a value name must not be empty, contain = or begin with [",
         "un nom de valeur ne doit pas être vide, contenir = ni commencer par ["),
    ]),
    # Saving in another format and the batch conversion.
    ("CONVERSION", [
        ("CV_SAVEAS", "Speichern unter", "Save as", "Enregistrer sous"),
        ("CV_WAIT", "Dateien werden konvertiert", "Converting files", "Conversion des fichiers"),
        ("CV_CANCEL", "Abbrechen", "Cancel", "Annuler"),
        # "<n> files written, <n> skipped."
        ("CV_WRITTEN", "Dateien geschrieben", "files written", "fichiers écrits"),
        ("CV_SKIPPED", "übersprungen", "skipped", "ignorés"),
        ("CV_ADDED", "zur Datenbank hinzugefügt", "added to the catalogue", "ajoutés au catalogue"),
        ("CV_NOADD",
         "Nichts wurde zur Datenbank hinzugefügt: das Ziel liegt auf einem Wechsel- oder Netzlaufwerk.",
         "Nothing was added to the catalogue: the destination is on a removable or network medium.",
         "Rien n'a été ajouté au catalogue : la destination est sur un support amovible ou réseau."),
        ("CV_CANCELLED", "Die Konvertierung wurde abgebrochen.", "The conversion was cancelled.",
         "La conversion a été interrompue."),
        # followed by the directory
        ("CV_READONLY",
         "In dieses Verzeichnis kann nicht geschrieben werden:",
         "Nothing can be written into this directory:",
         "Impossible d'écrire dans ce répertoire :"),
        ("CV_INCOMPLETE",
         "Bitte Zielverzeichnis und Dateierweiterung angeben.",
         "Please give a destination directory and an extension.",
         "Veuillez indiquer le répertoire de destination et l'extension."),
        ("CV_NOWRITER",
         "LTLI-Dateien können nicht geschrieben werden.",
         "LTLI files cannot be written.",
         "Les fichiers LTLI ne peuvent pas être écrits."),
        # followed by the file name
        ("CV_NOTADDED",
         "Die Datei wurde geschrieben, konnte aber nicht zur Datenbank hinzugefügt werden:",
         "The file was written but could not be added to the catalogue:",
         "Le fichier a été écrit mais n'a pas pu être ajouté au catalogue :"),
        # "save as": the name differs from the one typed; followed by the name
        ("CV_NEWNAME",
         "Die Datei bekommt die Erweiterung ihres Formats und wird geschrieben als:",
         "The file gets the extension of its format and will be written as:",
         "Le fichier prend l'extension de son format et sera écrit sous le nom :"),
        # "save as" outside the catalogued directories; followed by the name
        ("CV_ADDCOPY",
         "Die Kopie liegt außerhalb der Leuchtenverzeichnisse. Soll sie in die Datenbank aufgenommen werden?",
         "The copy lies outside the luminaire directories. Add the copy to the catalogue?",
         "La copie se trouve hors des répertoires des luminaires. Ajouter la copie au catalogue ?"),
    ]),
    # The evaluation window: refused entries and the files it writes.
    ("LINFO", [
        # '"<entry>": ' before, the allowed range on the next line
        ("LI_NONUMBER", "das ist keine Zahl.", "this is not a number.", "ce n'est pas un nombre."),
        ("LI_OUTOFRANGE", "dieser Wert liegt außerhalb des zulässigen Bereichs.",
         "this value is out of range.", "cette valeur est hors de la plage admise."),
        # "<LI_RANGE> 0 <LI_TO> 100 (<LI_ABOVE> 0), <LI_WHOLE>."
        ("LI_RANGE", "Zulässig sind Werte von", "Allowed are values from", "Valeurs admises de"),
        ("LI_TO", "bis", "to", "à"),
        ("LI_ABOVE", "größer als", "above", "supérieures à"),
        ("LI_WHOLE", "nur ganze Zahlen", "whole numbers only", "nombres entiers uniquement"),
        ("LI_SECTION", "Das linke Ende des Schnitts muss links vom rechten Ende liegen.",
         "The left end of the section must lie below its right end.",
         "L'extrémité gauche de la coupe doit se trouver avant l'extrémité droite."),
        ("LI_EXPORT", "Zeichnung exportieren", "Export drawing", "Exporter le dessin"),
        # followed by the file name
        ("LI_WRITTEN", "Die Zeichnung wurde geschrieben:", "The drawing was written to",
         "Le dessin a été écrit dans"),
        ("LI_WRITEERR", "Die Datei konnte nicht geschrieben werden:", "The file could not be written:",
         "Le fichier n'a pas pu être écrit :"),
    ]),
    # printing datasheets from the browser
    ("PRINTING", [
        ("PR_TITLE", "Datenblatt drucken", "Print datasheet", "Imprimer la fiche technique"),
        ("PR_NODATA", "Die Leuchte enthält keine druckbaren Daten; es wurde nichts gedruckt.",
         "The luminaire holds no data to print; nothing was printed.",
         "Le luminaire ne contient aucune donnée à imprimer ; rien n'a été imprimé."),
        # followed by the file or printer
        ("PR_JOBFAILED", "Das Datenblatt konnte nicht geschrieben werden:", "The datasheet could not be written:",
         "La fiche technique n'a pas pu être écrite :"),
        # followed by the reason
        ("PR_FAILED", "Das Datenblatt konnte nicht gedruckt werden:", "The datasheet could not be printed:",
         "La fiche technique n'a pas pu être imprimée :"),
        ("PR_WAIT", "Datenblätter werden gedruckt", "Printing datasheets", "Impression des fiches techniques"),
        # "<n> datasheets printed."
        ("PR_PRINTED", "Datenblätter gedruckt", "datasheets printed", "fiches techniques imprimées"),
        ("PR_CANCELLED", "Der Druck wurde abgebrochen.", "Printing was cancelled.", "L'impression a été interrompue."),
        # the batch print's summary, each followed by the file, folder or printer
        ("PR_FILE", "Geschrieben in die Datei", "Written to the file", "Écrites dans le fichier"),
        ("PR_FOLDER", "Dateien geschrieben in den Ordner", "Files written to the folder",
         "Fichiers écrits dans le dossier"),
        ("PR_PRINTER", "Gesendet an den Drucker", "Sent to the printer", "Envoyées à l'imprimante"),
        # title of the folder choice of "one PDF file per luminaire"
        ("PR_CHOOSEDIR", "Ordner für die Datenblätter", "Folder for the datasheets",
         "Dossier des fiches techniques"),
    ]),
    ("CONFMSG", [
        ("CONFDEL",
         "Soll der ausgewählte Eintrag gelöscht werden?",
         "Delete the selected entry?",
         "Supprimer l'entrée sélectionnée ?"),
    ]),
    ("OUTTXT", [
        # display names of the symmetry codes 0 ... 4 ("SYM" + code); the
        # B-beta list of the wizard shows 0, 2 and 4
        ("SYM0", "keine Symmetrie", "no symmetry", "aucune symétrie"),
        ("SYM1", "rotationssymmetrisch", "rotationally symmetric", "symétrie de révolution"),
        ("SYM2", "halbsymmetrisch C0-C180", "symmetric to C0-C180", "symétrique par rapport à C0-C180"),
        ("SYM3", "halbsymmetrisch C90-C270", "symmetric to C90-C270", "symétrique par rapport à C90-C270"),
        ("SYM4", "viertelsymmetrisch", "symmetric to both planes", "symétrique par rapport aux deux plans"),
        # intensity diagrams
        ("LVK_HD", "Lichtstärkeverteilung", "Luminous intensity distribution",
         "Distribution de l'intensité lumineuse"),
        ("AW", "Ausstrahlungswinkel gamma", "Emission angle gamma", "Angle d'émission gamma"),
        # utilization factors; the heading is followed by " / DIN", " / TM5" or " / NB"
        ("UTF_HD", "Beleuchtungswirkungsgrade", "Utilization factors", "Facteurs d'utilisation"),
        # reflectance row labels after the rho sign, at most 12 characters
        ("UTF_R1", " -Decke", " -ceiling", " -plafond"),
        ("UTF_R2", " -Wände", " -walls", " -murs"),
        ("UTF_R3", " -Boden", " -floor", " -sol"),
        ("UTF_IDX", "Raumindex", "Room index", "Indice du local"),
        ("UTF_REF", "Reflexionsgrade", "Reflectances", "Réflexions"),
        # narrow sub-headings of the reflectance column
        ("UTF_RS1", "Decke", "Ceil.", "Plaf."),
        ("UTF_RS2", "Wände", "Walls", "Murs"),
        ("UTF_RS3", "Boden", "Floor", "Sol"),
        # the TM5 table's last row, under the reflectance columns
        ("UTF_BZ", "BZ-Klasse", "BZ class", "Classe BZ"),
        # a TM5 cell the method does not cover
        ("UTF_NA", "n. a.", "N/A", "s. o."),
        ("UTF_MP", "Leuchten abgependelt", "Luminaires suspended", "Luminaires suspendus"),
        ("UTF_MD", "Leuchten an der Decke angebaut", "Luminaires surface-mounted on the ceiling",
         "Luminaires montés en saillie au plafond"),
        # UGR table
        ("UGR_HD", "Blendungsbewertung nach dem UGR-Verfahren", "Glare rating by the UGR method",
         "Évaluation de l'éblouissement selon la méthode UGR"),
        ("UGR_DIM", "Raumgröße", "Room size", "Dimensions"),
        ("UGR_CW", "quer zur Lampenachse", "Viewed crosswise", "Vue transversale"),
        ("UGR_LW", "längs zur Lampenachse", "Viewed endwise", "Vue longitudinale"),
        ("UGR_VAR", "Variation der Beobachterposition bei Leuchtenabstand S",
         "Variation of the observer position for luminaire spacing S",
         "Variation de la position de l'observateur (espacement S)"),
        # two two-line labels: reference shape name, then its correction summand
        ("UGR_L1", "Standard-", "Standard", "Tableau"),
        ("UGR_L2", "tabelle", "table", "de référence"),
        ("UGR_L3", "Korrektur-", "Correction", "Terme"),
        ("UGR_L4", "summand", "summand", "correctif"),
        # followed by two blanks and the lamp flux + "lm"
        ("UGR_L5", "UGR-Werte korrigiert auf den Lampenlichtstrom", "UGR values corrected for the lamp flux",
         "Valeurs UGR corrigées pour le flux des lampes"),
        # glare curves and luminance table
        ("GLSHD", "Blendungsbegrenzung für Nennbeleuchtungsstärken (lx)",
         "Glare limitation for nominal illuminances (lx)",
         "Limitation de l'éblouissement pour les éclairements nominaux (lx)"),
        ("GLSCLS", "Güteklasse", "Quality class", "Cl. qualité"),
        ("GLSCRV", "Leuchtdichtekurven:", "Luminance curves:", "Courbes de luminance :"),
        ("GLSTYP", "Bestückung:", "Lamps:", "Lampes :"),
        ("GLSFLX", "Lichtstrom:", "Luminous flux:", "Flux lumineux :"),
        ("GLSLOW", "Unter 0,8 kcd/m²: am linken Rand", "Below 0.8 kcd/m²: at the left edge", "Sous 0,8 kcd/m² : au bord gauche"),
        ("GLSLMA", "Leuchten ohne leuchtende Seitenteile", "Luminaires without luminous sides",
         "Luminaires sans côtés lumineux"),
        ("GLSLMB", "Leuchten mit leuchtenden Seitenteilen", "Luminaires with luminous sides",
         "Luminaires avec côtés lumineux"),
        ("HDLTAB", "Leuchtdichtetabelle", "Luminance table", "Tableau des luminances"),
        ("HDLVAL", "Leuchtdichtewerte in cd/m²", "Luminance values in cd/m²", "Valeurs de luminance en cd/m²"),
        # floor illuminance curves: single luminaire, continuous row
        ("HDBBK", "Bodenbeleuchtungskurven einer Einzelleuchte", "Floor illuminance curves of a single luminaire",
         "Courbes d'éclairement au sol d'un luminaire isolé"),
        ("HDBBK2", "Bodenbeleuchtungskurven eines Lichtbandes", "Floor illuminance curves of a continuous row",
         "Courbes d'éclairement au sol d'une ligne continue"),
        # BBKFT + " " + count + " " + BBKFT2
        ("BBKFT", "Lichtband aus", "Continuous row of", "Ligne continue de"),
        ("BBKFT2", "Leuchten", "luminaires", "luminaires"),
        ("BBKNOT", "Notbeleuchtung", "Emergency lighting", "Éclairage de sécurité"),
        # luminaire count; the heading is followed by " 80/ 50/ 30 )"
        ("HDSRT", "Leuchtenanzahl im Raum (Reflexionsgrade",
         "Number of luminaires in the room (reflectances",
         "Nombre de luminaires dans le local (réflexions"),
        ("SRTH2", "Raumfläche in m²", "Room area in m²", "Surface du local en m²"),
        # followed by " : " and the factor
        ("SRTFT", "Wartungsfaktor", "Maintenance factor", "Facteur de maintenance"),
        # cone diagram title, followed by " " and the full cone angle + "°"
        ("ASW", "Halbwertsbreite", "Beam angle", "Angle d'ouverture"),
        ("HDISO", "Isoluxdiagramm", "Isolux diagram", "Diagramme isolux"),
        # datasheet page titles (HDISO, HDSRT and HDBBK above serve as well)
        ("HDMAIN", "Datenblatt", "Data sheet", "Fiche technique"),
        ("HDPOL", "Lichtstärkeverteilung polar", "Luminous intensity distribution, polar",
         "Distribution de l'intensité lumineuse, polaire"),
        ("HDCRT", "Lichtstärkeverteilung kartesisch", "Luminous intensity distribution, Cartesian",
         "Distribution de l'intensité lumineuse, cartésienne"),
        ("HDTAB", "Lichtstärketabelle (cd/klm)", "Luminous intensity table (cd/klm)",
         "Tableau des intensités lumineuses (cd/klm)"),
        ("HDUGR", "Blendungsbewertung nach UGR", "UGR glare rating", "Évaluation de l'éblouissement UGR"),
        ("HDSLR", "Leuchtdichtegrenzkurven", "Luminance limiting curves", "Courbes limites de luminance"),
        ("HDUFDIN", "Beleuchtungswirkungsgrade nach DIN / LiTG", "Utilization factors, DIN / LiTG",
         "Facteurs d'utilisation, DIN / LiTG"),
        ("HDUFTM5", "Beleuchtungswirkungsgrade nach CIBSE TM5", "Utilization factors, CIBSE TM5",
         "Facteurs d'utilisation, CIBSE TM5"),
        ("HDUFNB", "Beleuchtungswirkungsgrade, NB-Tabelle", "Utilization factors, NB table",
         "Facteurs d'utilisation, tableau NB"),
        ("HDCONE", "Lichtkegeldiagramm", "Cone diagram", "Diagramme du cône lumineux"),
        # page footer: PG_STR + " " + n + " / " + total
        ("PG_STR", "Seite", "Page", "Page"),
    ]),
    # entries of the output selection, output types 0 ... 12
    ("OUTSEL", [
        ("OT_MAIN", "Datenblatt mit Stammdaten und Polardiagramm", "Data sheet with master data and polar diagram",
         "Fiche technique avec données de base et diagramme polaire"),
        ("OT_POLAR", "Lichtstärkeverteilung polar", "Polar intensity diagrams", "Diagrammes polaires d'intensité"),
        ("OT_Kart", "Lichtstärkeverteilung kartesisch", "Cartesian intensity diagrams",
         "Diagrammes cartésiens d'intensité"),
        ("OT_Table", "Lichtstärketabellen", "Intensity tables", "Tableaux des intensités"),
        ("OT_GLUGR", "Blendungsbewertung UGR", "UGR glare rating", "Éblouissement UGR"),
        ("OT_GLDIN", "Leuchtdichtegrenzkurven und -tabelle", "Luminance limiting curves and table",
         "Courbes limites et tableau des luminances"),
        ("OT_RTDIN", "Beleuchtungswirkungsgrade DIN", "Utilization factors DIN", "Facteurs d'utilisation DIN"),
        ("OT_RTTM5", "Beleuchtungswirkungsgrade CIBSE TM5", "Utilization factors CIBSE TM5",
         "Facteurs d'utilisation CIBSE TM5"),
        ("OT_RTNB", "Beleuchtungswirkungsgrade NB", "Utilization factors NB", "Facteurs d'utilisation NB"),
        ("OT_ISO", "Isoluxdiagramm", "Isolux diagram", "Diagramme isolux"),
        ("OT_CONE", "Lichtkegeldiagramm", "Cone diagram", "Diagramme du cône lumineux"),
        ("OT_SRT", "Schnellrechentabelle (Leuchtenanzahl)", "Luminaire count table",
         "Tableau du nombre de luminaires"),
        ("OT_BBK", "Bodenbeleuchtungskurven", "Floor illuminance curves", "Courbes d'éclairement au sol"),
    ]),
    # labels of the datasheet's first page (a label is followed by ":")
    ("FirstPage", [
        ("filename", "Dateiname", "File name", "Nom du fichier"),
        ("MNUM", "Messbericht-Nr.", "Test report no.", "N° rapport d'essai"),
        ("LNUM", "Leuchten-Nr.", "Luminaire no.", "N° du luminaire"),
        ("DATEOP", "Datum / Bearbeiter", "Date / operator", "Date / opérateur"),
        ("DEFLAMP", "Lampenbestückung", "Lamps", "Lampes"),
        ("LNr", "Anzahl", "Number", "Nombre"),
        ("LTYP", "Lampentyp", "Lamp type", "Type de lampe"),
        ("LFlux", "Lichtstrom", "Luminous flux", "Flux lumineux"),
        ("LPOWER", "Leistung", "Power", "Puissance"),
        ("LCCT", "Farbtemp.", "CCT", "Temp. couleur"),
        ("LCRI", "Ra", "CRI", "IRC"),
        ("DIM", "Abmessungen", "Dimensions", "Dimensions"),
        ("PDIM", "Leuchte", "Luminaire", "Luminaire"),
        ("LDIM", "Leuchtende Fläche", "Luminous area", "Surface lumineuse"),
        ("DIA", "Durchmesser", "Diameter", "Diamètre"),
        ("LEN", "Länge", "Length", "Longueur"),
        ("WID", "Breite", "Width", "Largeur"),
        ("HGT", "Höhe", "Height", "Hauteur"),
        ("MM", "mm", "mm", "mm"),
        ("CSYS", "Koordinatensystem", "Coordinate system", "Système de coordonnées"),
        ("PNUM", "Anzahl C-Ebenen", "Number of C planes", "Nombre de plans C"),
        ("NUMA", "Anzahl Winkel", "Number of angles", "Nombre d'angles"),
        ("PL1", "Erste Ebene", "First plane", "Premier plan"),
        ("AN1", "Erster Winkel", "First angle", "Premier angle"),
        ("STP", "Schrittweite", "Step", "Pas"),
        ("PLX", "Letzte Ebene", "Last plane", "Dernier plan"),
        ("ANX", "Letzter Winkel", "Last angle", "Dernier angle"),
        ("SYM", "Symmetrie", "Symmetry", "Symétrie"),
        ("EVL", "Lichttechnische Kennwerte", "Photometric data", "Données photométriques"),
        ("LOR", "Betriebswirkungsgrad", "Light output ratio", "Rendement lumineux"),
        ("DFF", "Direktanteil", "Downward fraction", "Flux vers le bas"),
        ("UFF", "Indirektanteil", "Upward fraction", "Flux vers le haut"),
        ("LUMFLUX", "Leuchtenlichtstrom", "Luminaire flux", "Flux du luminaire"),
        ("EFFIC", "Lichtausbeute", "Luminaire efficacy", "Efficacité lumineuse"),
        ("SHRNOM", "Abstand/Höhe nominal", "Spacing/height nominal", "Espacement/hauteur nom."),
        ("BEAM", "Ausstrahlungswinkel (Halbwertswinkel)", "Beam angle (half value)",
         "Angle d'ouverture (à mi-intensité)"),
        ("UGRROOM", "UGR im Raum 4H × 8H, Reflexionsgrade 70/50/20",
         "UGR in a room of 4H × 8H, reflectances 70/50/20",
         "UGR dans un local 4H × 8H, facteurs de réflexion 70/50/20"),
        ("UGRCW", "quer", "crosswise", "transversal"),
        ("UGRLW", "längs", "endwise", "longitudinal"),
        ("ELEV", "Ansicht", "Elevation", "Élévation"),
        ("PLAN", "Draufsicht", "Plan", "Vue de dessus"),
        ("SCALE", "Maßstab", "Scale", "Échelle"),
        ("CLS", "Klassifizierung", "Classification", "Classification"),
    ]),
    # file dialogs: "<format> - " + LBL_FILES, and LBL_ALL + " " + LBL_FILES
    ("Files", [
        ("LBL_FILES", "Dateien", "files", "fichiers"),
        ("LBL_ALL", "Alle", "All", "Tous les"),
    ]),
    # browser table column headings "LHD" + column content number
    ("LTABHD", [
        ("LHD1", "Leuchtenbezeichnung", "Luminaire name", "Désignation du luminaire"),
        ("LHD2", "Leuchtennummer", "Luminaire number", "Référence du luminaire"),
        ("LHD3", "Dateiname", "File name", "Nom du fichier"),
        ("LHD4", "Hersteller", "Manufacturer", "Fabricant"),
        ("LHD5", "Dateiformat", "File format", "Format du fichier"),
    ]),
    # sort keys 1 ... 5 of the catalogue ("LBK" + key number)
    ("LTABKEYS", [
        ("LBK1", "Leuchtenbezeichnung", "Luminaire name", "Désignation du luminaire"),
        ("LBK2", "Leuchtennummer", "Luminaire number", "Référence du luminaire"),
        ("LBK3", "Dateiname", "File name", "Nom du fichier"),
        ("LBK4", "Dateiformat", "File format", "Format du fichier"),
        ("LBK5", "Hersteller", "Manufacturer", "Fabricant"),
    ]),
    # entry errors of the new luminaire wizard
    ("ERRORS", [
        ("EM_INVSYM",
         "Ungültige Symmetrie: C-Ebenen erlauben 0 bis 4, B-Ebenen 0, 2 oder 4.",
         "Invalid symmetry: C planes take 0 to 4, B planes 0, 2 or 4.",
         "Symétrie incorrecte : les plans C admettent 0 à 4, les plans B 0, 2 ou 4."),
        ("EM_INVCS",
         "Ungültige Schrittweite der C-Ebenen: sie muss den Winkelbereich ohne Rest teilen.",
         "Invalid C-plane step: it must divide the angle range without remainder.",
         "Pas des plans C incorrect : il doit diviser la plage angulaire sans reste."),
        ("EM_INVG1",
         "Der Startwinkel gamma muss kleiner als der Endwinkel sein.",
         "The gamma start angle must be smaller than the end angle.",
         "L'angle gamma initial doit être inférieur à l'angle final."),
        ("EM_INVGE",
         "Der Endwinkel gamma muss größer als die Schrittweite sein.",
         "The gamma end angle must be larger than the step.",
         "L'angle gamma final doit être supérieur au pas."),
        ("EM_INVMEAS",
         "Lichtstrom der Meßlampen und Meßabstand müssen größer als 0 sein.",
         "The flux of the measuring lamps and the measuring distance must be larger than 0.",
         "Le flux des lampes de mesure et la distance de mesure doivent être supérieurs à 0."),
        ("EM_INVGS",
         "Die Schrittweite gamma muss den Bereich zwischen Start- und Endwinkel ohne Rest teilen.",
         "The gamma step must divide the range between start and end angle without remainder.",
         "Le pas gamma doit diviser la plage entre l'angle initial et l'angle final sans reste."),
    ]),
]


def check(kind, sections):
    seen_sections = set()
    for name, rows in sections:
        if name.upper() in seen_sections:
            raise SystemExit(f"{kind}: section [{name}] twice")
        seen_sections.add(name.upper())
        seen_keys = set()
        for row in rows:
            if len(row) != 1 + len(LANGUAGES):
                raise SystemExit(f"{kind} [{name}] {row[0]}: needs a text per language")
            key = row[0]
            if not key or "=" in key or key.startswith("[") or key != key.strip():
                raise SystemExit(f"{kind} [{name}]: bad key {key!r}")
            if key.upper() in seen_keys:
                raise SystemExit(f"{kind} [{name}]: key {key} twice")
            seen_keys.add(key.upper())
            for lang, text in zip(LANGUAGES, row[1:]):
                if not text or any(c in text for c in "\r\n\t") or text != text.rstrip():
                    raise SystemExit(f"{kind} [{name}] {key} {lang}: empty text or stray whitespace")
                try:
                    text.encode("cp1252")
                except UnicodeEncodeError:
                    raise SystemExit(f"{kind} [{name}] {key} {lang}: not representable in Windows-1252")
                if len(f"{key}={text}".encode("cp1252")) > MAX_LINE:
                    raise SystemExit(f"{kind} [{name}] {key} {lang}: line longer than {MAX_LINE}")


def render(sections, lang_index):
    lines = []
    for name, rows in sections:
        lines.append(f"[{name}]")
        lines.extend(f"{row[0]}={row[1 + lang_index]}" for row in rows)
    return ("\r\n".join(lines) + "\r\n").encode("cp1252")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--check", action="store_true", help="only compare, write nothing")
    args = parser.parse_args()
    out_dir = pathlib.Path(__file__).resolve().parent.parent / "resources" / "language"
    stale = []
    for kind, sections in (("MSGTXT", MSGTXT), ("ORVMSG", ORVMSG)):
        check(kind, sections)
        for i, lang in enumerate(LANGUAGES):
            path = out_dir / f"{kind}.{lang}"
            data = render(sections, i)
            if path.exists() and path.read_bytes() == data:
                continue
            stale.append(path)
            if not args.check:
                out_dir.mkdir(parents=True, exist_ok=True)
                path.write_bytes(data)
    for path in stale:
        print(("out of date: " if args.check else "wrote ") + str(path))
    return 1 if args.check and stale else 0


if __name__ == "__main__":
    sys.exit(main())
