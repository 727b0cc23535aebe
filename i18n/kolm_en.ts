<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en">
<context>
    <name>Fields</name>
    <message>
        <source>Type a number here.</source>
        <translation>Type a number here.</translation>
    </message>
    <message>
        <source>&apos;%1&apos; is not a number: type digits, with a point or a comma before the decimals.</source>
        <translation>&apos;%1&apos; is not a number: type digits, with a point or a comma before the decimals.</translation>
    </message>
</context>
<context>
    <name>QFileDialog</name>
    <message>
        <source>All files (*)</source>
        <translation>All files (*)</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>Four markers are placed: remove one first.</source>
        <translation>Four markers are placed: remove one first.</translation>
    </message>
    <message>
        <source>Markers</source>
        <translation>Markers</translation>
    </message>
    <message>
        <source>Marker frequency (MHz):</source>
        <translation>Marker frequency (MHz):</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a frequency in MHz.</source>
        <translation>&quot;%1&quot; is not a frequency in MHz.</translation>
    </message>
    <message>
        <source>No measured value in view to put the marker on.</source>
        <translation>No measured value in view to put the marker on.</translation>
    </message>
    <message>
        <source>No delta</source>
        <translation>No delta</translation>
    </message>
    <message>
        <source>Remove all markers</source>
        <translation>Remove all markers</translation>
    </message>
    <message>
        <source>Marker at frequency...</source>
        <translation>Marker at frequency...</translation>
    </message>
    <message>
        <source>Ctrl+click on the chart places one too</source>
        <translation>Ctrl+click on the chart places one too</translation>
    </message>
    <message>
        <source>Marker to maximum of %1</source>
        <translation>Marker to maximum of %1</translation>
    </message>
    <message>
        <source>Marker to minimum of %1</source>
        <translation>Marker to minimum of %1</translation>
    </message>
    <message>
        <source>Delta</source>
        <translation>Delta</translation>
    </message>
    <message>
        <source>Remove marker</source>
        <translation>Remove marker</translation>
    </message>
    <message>
        <source>The picture could not be made.</source>
        <translation>The picture could not be made.</translation>
    </message>
    <message>
        <source>A picture is saved as .png, .svg or .pdf.</source>
        <translation>A picture is saved as .png, .svg or .pdf.</translation>
    </message>
    <message>
        <source>Export picture (PNG, SVG, PDF)...</source>
        <translation>Export picture (PNG, SVG, PDF)...</translation>
    </message>
    <message>
        <source>outside the chart: |Γ| &gt; 1</source>
        <translation>outside the chart: |Γ| &gt; 1</translation>
    </message>
    <message>
        <source>cursor: Z = %1 %2 j%3 Ω, SWR %4, |Γ| %5 at %6°</source>
        <translation>cursor: Z = %1 %2 j%3 Ω, SWR %4, |Γ| %5 at %6°</translation>
    </message>
    <message>
        <source>Bands</source>
        <translation>Bands</translation>
    </message>
    <message>
        <source>IARU Region %1</source>
        <translation>IARU Region %1</translation>
    </message>
    <message>
        <source>%1  (%2 to %3 MHz)</source>
        <translation>%1 (%2 to %3 MHz)</translation>
    </message>
    <message>
        <source>Sweeps %1 to %2 MHz</source>
        <translation>Sweeps %1 to %2 MHz</translation>
    </message>
    <message>
        <source>Cable taken out</source>
        <translation>Cable taken out</translation>
    </message>
    <message>
        <source>The readings are taken back through this cable to the load at its far end.</source>
        <translation>The readings are taken back through this cable to the load at its far end.</translation>
    </message>
    <message>
        <source>Figures by hand</source>
        <translation>Figures by hand</translation>
    </message>
    <message>
        <source>Cable</source>
        <translation>Cable</translation>
    </message>
    <message>
        <source>Length (m)</source>
        <translation>Length (m)</translation>
    </message>
    <message>
        <source>Velocity factor</source>
        <translation>Velocity factor</translation>
    </message>
    <message>
        <source>Loss (dB per 100 m)</source>
        <translation>Loss (dB per 100 m)</translation>
    </message>
    <message>
        <source>Loss stated at (MHz)</source>
        <translation>Loss stated at (MHz)</translation>
    </message>
    <message>
        <source>Impedance (ohm)</source>
        <translation>Impedance (ohm)</translation>
    </message>
    <message>
        <source>No cable</source>
        <translation>No cable</translation>
    </message>
    <message>
        <source>Measure a stub</source>
        <translation>Measure a stub</translation>
    </message>
    <message>
        <source>open</source>
        <translation>open</translation>
    </message>
    <message>
        <source>short</source>
        <translation>short</translation>
    </message>
    <message>
        <source>Physical length (m)</source>
        <translation>Physical length (m)</translation>
    </message>
    <message>
        <source>Far end</source>
        <translation>Far end</translation>
    </message>
    <message>
        <source>The stub&apos;s length in metres, above 0.</source>
        <translation>The stub&apos;s length in metres, above 0.</translation>
    </message>
    <message>
        <source>Sweep the stub from %1 to %2 MHz first: the chart&apos;s sweep is measured.</source>
        <translation>Sweep the stub from %1 to %2 MHz first: the chart&apos;s sweep is measured.</translation>
    </message>
    <message>
        <source>Directivity: at least %1 dB everywhere (the load reads at the bottom of the bridge&apos;s range).</source>
        <translation>Directivity: at least %1 dB everywhere (the load reads at the bottom of the bridge&apos;s range).</translation>
    </message>
    <message>
        <source>Directivity: %1 dB at worst (at %2 MHz), %3 dB in the middle.</source>
        <translation>Directivity: %1 dB at worst (at %2 MHz), %3 dB in the middle.</translation>
    </message>
    <message>
        <source>Tracking: the open and the short within %1 dB of a total reflection.</source>
        <translation>Tracking: the open and the short within %1 dB of a total reflection.</translation>
    </message>
    <message>
        <source>Not kept: measure the standard named above again.</source>
        <translation>Not kept: measure the standard named above again.</translation>
    </message>
    <message>
        <source>simulated instrument</source>
        <translation>simulated instrument</translation>
    </message>
    <message>
        <source>Kept: the readings&apos; intervals now take the directivity as %1 dB and the tracking as %2 dB, the worst the readings allow once their noise and the detector&apos;s slope are counted.</source>
        <translation>Kept: the readings&apos; intervals now take the directivity as %1 dB and the tracking as %2 dB, the worst the readings allow once their noise and the detector&apos;s slope are counted.</translation>
    </message>
    <message>
        <source>In use: the calibration of %1; readings inside its span are corrected.</source>
        <translation>In use: the calibration of %1; readings inside its span are corrected.</translation>
    </message>
    <message>
        <source>No calibration in use: the readings are uncorrected.</source>
        <translation>No calibration in use: the readings are uncorrected.</translation>
    </message>
</context>
<context>
    <name>Settings</name>
    <message>
        <source>line %1: %2</source>
        <translation>line %1: %2</translation>
    </message>
    <message>
        <source>%1 could not be read whole (%2).</source>
        <translation>%1 could not be read whole (%2).</translation>
    </message>
    <message>
        <source>It cannot be copied aside (%1), so it is left as it is and not written.</source>
        <translation>It cannot be copied aside (%1), so it is left as it is and not written.</translation>
    </message>
    <message>
        <source>The values from there on are the defaults; your file is kept as &apos;%1&apos;.</source>
        <translation>The values from there on are the defaults; your file is kept as &apos;%1&apos;.</translation>
    </message>
    <message>
        <source>&apos;%1&apos; was not changed.</source>
        <translation>&apos;%1&apos; was not changed.</translation>
    </message>
    <message>
        <source>&apos;%1&apos; could not be saved: %2</source>
        <translation>&apos;%1&apos; could not be saved: %2</translation>
    </message>
    <message>
        <source>the file ends inside the record &apos;%1&apos; (cut short)</source>
        <translation>the file ends inside the record &apos;%1&apos; (cut short)</translation>
    </message>
</context>
<context>
    <name>kolm</name>
    <message>
        <source>Return  Loss</source>
        <translation>Return Loss</translation>
    </message>
    <message>
        <source>Phase</source>
        <translation>Phase</translation>
    </message>
    <message>
        <source> Impedence</source>
        <translation> Impedance</translation>
    </message>
    <message>
        <source>Resistance</source>
        <translation>Resistance</translation>
    </message>
    <message>
        <source>Reactance</source>
        <translation>Reactance</translation>
    </message>
    <message>
        <source>Standing Wave Ratio</source>
        <translation>Standing Wave Ratio</translation>
    </message>
    <message>
        <source>RL Value</source>
        <translation>RL Value</translation>
    </message>
    <message>
        <source>PH Value</source>
        <translation>PH Value</translation>
    </message>
    <message>
        <source>Z Value</source>
        <translation>Z Value</translation>
    </message>
    <message>
        <source>R Value</source>
        <translation>R Value</translation>
    </message>
    <message>
        <source>X Value</source>
        <translation>X Value</translation>
    </message>
    <message>
        <source>SWL Value</source>
        <translation>SWR Value</translation>
    </message>
    <message>
        <source>ERRORE!</source>
        <translation>ERROR!</translation>
    </message>
    <message>
        <source>ERRORE</source>
        <translation>ERROR</translation>
    </message>
    <message>
        <source>Load File</source>
        <translation>Load File</translation>
    </message>
    <message>
        <source>Save File </source>
        <translation>Save File </translation>
    </message>
    <message>
        <source>Main  connecting VFO+PowerMeter+Antenna-Analyzer</source>
        <translation>Main menu connecting VFO, Power Meter and Antenna Analyzer</translation>
    </message>
    <message>
        <source>Calling Menu of KOLM PROGRAMME</source>
        <translation>Main menu of the KOLM program</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>About Digital VFO Software</source>
        <translation>About Digital VFO Software</translation>
    </message>
    <message>
        <source>DIGITAL VFO FROM 0 TO 160 mHz</source>
        <translation>DIGITAL VFO FROM 0 TO 160 MHz</translation>
    </message>
    <message>
        <source>About Power Meter Software</source>
        <translation>About Power Meter Software</translation>
    </message>
    <message>
        <source>Power Meter from 0 to 160 MHz +20 -80 Dbm</source>
        <translation>Power Meter from 0 to 160 MHz, +20 to -80 dBm</translation>
    </message>
    <message>
        <source>About Antenna Analyzer Software</source>
        <translation>About Antenna Analyzer Software</translation>
    </message>
    <message>
        <source>ANTENNA ANALYZER FROM 0 TO 160 mHz</source>
        <translation>ANTENNA ANALYZER FROM 0 TO 160 MHz</translation>
    </message>
    <message>
        <source>( Pay attention Programme  on Beta Test !!)</source>
        <translation>(Please note: this program is in beta test.)</translation>
    </message>
    <message>
        <source>Kolm developers</source>
        <translation>Kolm developers</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>&amp;System Info...</source>
        <translation>&amp;System Info...</translation>
    </message>
    <message>
        <source>System Infos nto availlable now.</source>
        <translation>System information is not available now.</translation>
    </message>
    <message>
        <source>SIMULATED INSTRUMENT: no hardware is being measured</source>
        <translation>SIMULATED INSTRUMENT: no hardware is being measured</translation>
    </message>
    <message>
        <source>NO INSTRUMENT: choose the port in Parameters</source>
        <translation>NO INSTRUMENT: choose the port in Parameters</translation>
    </message>
    <message>
        <source>Exit program</source>
        <translation>Exit program</translation>
    </message>
    <message>
        <source>Applicare in ingresso un segnale di 0 dBm poi premere OK</source>
        <translation>Apply a 0 dBm signal to the input, then press OK</translation>
    </message>
    <message>
        <source>Applicare in ingresso un segnale di -60 dBm poi premere OK</source>
        <translation>Apply a -60 dBm signal to the input, then press OK</translation>
    </message>
    <message>
        <source>%1    Se il numero visualizzato è tra 800 e 900 accettare premendo OK</source>
        <translation>%1: if the number shown is between 800 and 900, accept it by pressing OK</translation>
    </message>
    <message>
        <source>%1    Se il numero visualizzato è intorno a 200 accettare premendo OK</source>
        <translation>%1: if the number shown is around 200, accept it by pressing OK</translation>
    </message>
    <message>
        <source>Vuoi applicare i valori di DEFAULT?</source>
        <translation>Do you want to apply the DEFAULT values?</translation>
    </message>
    <message>
        <source>errore</source>
        <translation>The crystal could not be measured:</translation>
    </message>
    <message>
        <source> attenzione il tempo potrebbe superare %1secondi</source>
        <translation>Warning: the sweep may take more than %1 seconds</translation>
    </message>
    <message>
        <source>file pwm(*.pwm)|*.pwm</source>
        <translation>file pwm(*.pwm)|*.pwm</translation>
    </message>
    <message>
        <source>Per memorizzare il livello di riferimento unire direttamente uscita e ingresso</source>
        <translation>To store the reference level, connect the output directly to the input</translation>
    </message>
    <message>
        <source>Calibrazione Crystal Meter</source>
        <translation>Crystal Meter Calibration</translation>
    </message>
    <message>
        <source>Bypassare il quarzo
(si può cambiare R0)</source>
        <translation>Bypass the crystal
(R0 can be changed)</translation>
    </message>
    <message>
        <source> Bypassare il quarzo</source>
        <translation>Bypass the crystal</translation>
    </message>
    <message>
        <source>The crystal fixture&apos;s through path was measured at 1601 points from 0.1 to 160 MHz and stored in Quartz.rif; R0 is %1 ohm.</source>
        <translation>The crystal fixture&apos;s through path was measured at 1601 points from 0.1 to 160 MHz and stored in Quartz.rif; R0 is %1 ohm.</translation>
    </message>
    <message>
        <source>CalQuartz</source>
        <translation>Crystal fixture calibration</translation>
    </message>
    <message>
        <source> Errore di Scala</source>
        <translation>Scale error</translation>
    </message>
    <message>
        <source>Le dimensioni di stampa richieste
sono superiori a quelle del foglio
della stampante selezionata.

Posso cambiare la scala?</source>
        <translation>The requested print size
is larger than the sheet
of the selected printer.

May I change the scale?</translation>
    </message>
    <message>
        <source> Errore in frmStampaFCPB/</source>
        <translation>Print dialog error in </translation>
    </message>
    <message>
        <source>La funzione di Stampa
ha trovato una situazione imprevista.

Codice di errore = %1
</source>
        <translation>Printing met an unexpected situation.

Error code = %1
</translation>
    </message>
    <message>
        <source>Stampante di default non specificata.</source>
        <translation>No default printer is set.</translation>
    </message>
    <message>
        <source>Non posso accedere alla stampante richiesta.
</source>
        <translation>The requested printer cannot be reached.
</translation>
    </message>
    <message>
        <source>DocumentProperties non funziona.
</source>
        <translation>The printer settings could not be applied.
</translation>
    </message>
    <message>
        <source>Errore di StartDoc.
</source>
        <translation>The print document could not be started.
</translation>
    </message>
    <message>
        <source>Stampa interrotta.
</source>
        <translation>Printing interrupted.
</translation>
    </message>
    <message>
        <source>Orientamento errato</source>
        <translation>Wrong orientation</translation>
    </message>
    <message>
        <source>Parametri errati.

La larghezza e l&apos; altezza di stampa
richieste devono essere &gt; 0.</source>
        <translation>Wrong parameters.

The requested print width
and height must be &gt; 0.</translation>
    </message>
    <message>
        <source>Si e&apos; verificata una condizione
inaspettata elaborando l&apos; immagine.</source>
        <translation>An unexpected condition occurred
while processing the picture.</translation>
    </message>
    <message>
        <source>  Printer settings </source>
        <translation>Printer settings</translation>
    </message>
    <message>
        <source>  Print of: </source>
        <translation>Print of: </translation>
    </message>
    <message>
        <source>a plain cable</source>
        <translation>a plain cable</translation>
    </message>
    <message>
        <source>a 10 dB attenuator</source>
        <translation>a 10 dB attenuator</translation>
    </message>
    <message>
        <source>a 60 dB attenuator: the detector&apos;s -60 dBm point</source>
        <translation>a 60 dB attenuator: the detector&apos;s -60 dBm point</translation>
    </message>
    <message>
        <source>a 10 MHz low-pass filter, 5th order</source>
        <translation>a 10 MHz low-pass filter, 5th order</translation>
    </message>
    <message>
        <source>a 30 MHz low-pass filter, 7th order</source>
        <translation>a 30 MHz low-pass filter, 7th order</translation>
    </message>
    <message>
        <source>a 10 MHz crystal in a 50 ohm fixture</source>
        <translation>a 10 MHz crystal in a 50 ohm fixture</translation>
    </message>
    <message>
        <source>a 4.43 MHz crystal in a 12.5 ohm fixture</source>
        <translation>a 4.43 MHz crystal in a 12.5 ohm fixture</translation>
    </message>
    <message>
        <source>a matched 50 ohm load</source>
        <translation>a matched 50 ohm load</translation>
    </message>
    <message>
        <source>100 ohm: SWR 2</source>
        <translation>100 ohm: SWR 2</translation>
    </message>
    <message>
        <source>25 ohm: SWR 2</source>
        <translation>25 ohm: SWR 2</translation>
    </message>
    <message>
        <source>nothing connected</source>
        <translation>nothing connected</translation>
    </message>
    <message>
        <source>a short circuit</source>
        <translation>a short circuit</translation>
    </message>
    <message>
        <source>an antenna resonant at 10 MHz</source>
        <translation>an antenna resonant at 10 MHz</translation>
    </message>
    <message>
        <source>a short dipole resonant near 15.8 MHz</source>
        <translation>a short dipole resonant near 15.8 MHz</translation>
    </message>
    <message>
        <source>Simulator</source>
        <translation>Simulator</translation>
    </message>
    <message>
        <source>Between generator and detector (DUT)</source>
        <translation>Between generator and detector (DUT)</translation>
    </message>
    <message>
        <source>On the bridge (load)</source>
        <translation>On the bridge (load)</translation>
    </message>
    <message>
        <source>Touchstone file...</source>
        <translation>Touchstone file...</translation>
    </message>
    <message>
        <source>Forms</source>
        <translation>Forms</translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>Apply</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>The kept choice cannot be used, the simulator has the default in its place:</source>
        <translation>The kept choice cannot be used, the simulator has the default in its place:</translation>
    </message>
    <message>
        <source>Nothing was changed:</source>
        <translation>Nothing was changed:</translation>
    </message>
    <message>
        <source>Applied: now %1 between generator and detector, %2 on the bridge.</source>
        <translation>Applied: now %1 between generator and detector, %2 on the bridge.</translation>
    </message>
    <message>
        <source>Applied for when the simulator is chosen: %1 between generator and detector, %2 on the bridge.</source>
        <translation>Applied for when the simulator is chosen: %1 between generator and detector, %2 on the bridge.</translation>
    </message>
    <message>
        <source>Connected, but not kept for the next run:</source>
        <translation>Connected, but not kept for the next run:</translation>
    </message>
    <message>
        <source>The instrument in use is the simulator.</source>
        <translation>The instrument in use is the simulator.</translation>
    </message>
    <message>
        <source>The instrument in use is the real port %1: these connections are kept for when the simulator is chosen.</source>
        <translation>The instrument in use is the real port %1: these connections are kept for when the simulator is chosen.</translation>
    </message>
    <message>
        <source>Changes not applied yet.</source>
        <translation>Changes not applied yet.</translation>
    </message>
    <message>
        <source>Simulated DDS: not in use</source>
        <translation>Simulated DDS: not in use</translation>
    </message>
    <message>
        <source>quartz %1 MHz</source>
        <translation>quartz %1 MHz</translation>
    </message>
    <message>
        <source>Simulated DDS: clock %1 MHz (%2), output </source>
        <translation>Simulated DDS: clock %1 MHz (%2), output </translation>
    </message>
    <message>
        <source>off</source>
        <translation>off</translation>
    </message>
    <message>
        <source>no signal</source>
        <translation>no signal</translation>
    </message>
    <message>
        <source>Frequency too High</source>
        <translation>Frequency too High</translation>
    </message>
    <message>
        <source>Left button=Transfer  frequency in to  display; Right button capture frequency from display</source>
        <translation>Left button: transfer the frequency to the display; right button: store the displayed frequency</translation>
    </message>
    <message>
        <source>Digital VFO</source>
        <translation>Digital VFO</translation>
    </message>
    <message>
        <source>DIGITAL VFO</source>
        <translation>DIGITAL VFO</translation>
    </message>
    <message>
        <source>Keyboard input in MHz</source>
        <translation>Keyboard input in MHz</translation>
    </message>
    <message>
        <source>Tune up</source>
        <translation>Tune up</translation>
    </message>
    <message>
        <source>Tune down</source>
        <translation>Tune down</translation>
    </message>
    <message>
        <source>Wheel over a digit, or Up and Down: tune by that digit&apos;s step</source>
        <translation>Wheel over a digit, or Up and Down: tune by that digit&apos;s step</translation>
    </message>
    <message>
        <source>End_Program</source>
        <translation>File</translation>
    </message>
    <message>
        <source>Exit Digital VFO</source>
        <translation>Exit Digital VFO</translation>
    </message>
    <message>
        <source>Parameters</source>
        <translation>Parameters</translation>
    </message>
    <message>
        <source>About_VFO</source>
        <translation>About VFO</translation>
    </message>
    <message>
        <source>Working Frequency</source>
        <translation>Working Frequency</translation>
    </message>
    <message>
        <source>000.000 000</source>
        <translation>000.000 000</translation>
    </message>
    <message>
        <source>MHz</source>
        <translation>MHz</translation>
    </message>
    <message>
        <source>Freq Output</source>
        <translation>Freq Output</translation>
    </message>
    <message>
        <source>Mhz</source>
        <translation>MHz</translation>
    </message>
    <message>
        <source>Khz</source>
        <translation>kHz</translation>
    </message>
    <message>
        <source>Hz</source>
        <translation>Hz</translation>
    </message>
    <message>
        <source>+</source>
        <translation>+</translation>
    </message>
    <message>
        <source>Up </source>
        <translation>Up </translation>
    </message>
    <message>
        <source>_</source>
        <translation>−</translation>
    </message>
    <message>
        <source>Down </source>
        <translation>Down </translation>
    </message>
    <message>
        <source>Mode</source>
        <translation>Mode</translation>
    </message>
    <message>
        <source>RTX2</source>
        <translation>RTX2</translation>
    </message>
    <message>
        <source>GEN</source>
        <translation>GEN</translation>
    </message>
    <message>
        <source>RTX</source>
        <translation>RTX</translation>
    </message>
    <message>
        <source>Intermediate frequency in MHz</source>
        <translation>Intermediate frequency in MHz</translation>
    </message>
    <message>
        <source>IF1</source>
        <translation>IF1</translation>
    </message>
    <message>
        <source>IF2</source>
        <translation>IF2</translation>
    </message>
    <message>
        <source>DDS Reset</source>
        <translation>DDS Reset</translation>
    </message>
    <message>
        <source>Stored frequencies in MHz</source>
        <translation>Stored frequencies in MHz</translation>
    </message>
    <message>
        <source>Freq Add </source>
        <translation>Freq Add</translation>
    </message>
    <message>
        <source>Insert in memory from Display</source>
        <translation>Store the displayed frequency in memory</translation>
    </message>
    <message>
        <source>Freq Del.</source>
        <translation>Freq Del.</translation>
    </message>
    <message>
        <source>Delete selected frequency from memory</source>
        <translation>Delete selected frequency from memory</translation>
    </message>
    <message>
        <source>Clear all stored memories</source>
        <translation>Clear all stored memories</translation>
    </message>
    <message>
        <source>Frequencies Buttons</source>
        <translation>Band buttons</translation>
    </message>
    <message>
        <source>%1 holds %2 MHz.</source>
        <translation>%1 holds %2 MHz.</translation>
    </message>
    <message>
        <source>not sent</source>
        <translation>not sent</translation>
    </message>
    <message>
        <source>Band 160</source>
        <translation>Band 160</translation>
    </message>
    <message>
        <source>Band 80</source>
        <translation>Band 80</translation>
    </message>
    <message>
        <source>Band 40</source>
        <translation>Band 40</translation>
    </message>
    <message>
        <source>Band 30</source>
        <translation>Band 30</translation>
    </message>
    <message>
        <source>Band 20</source>
        <translation>Band 20</translation>
    </message>
    <message>
        <source>Band 17</source>
        <translation>Band 17</translation>
    </message>
    <message>
        <source>Band  15</source>
        <translation>Band 15</translation>
    </message>
    <message>
        <source>Band 12</source>
        <translation>Band 12</translation>
    </message>
    <message>
        <source>Band 10 A</source>
        <translation>Band 10 A</translation>
    </message>
    <message>
        <source>Band 10 B</source>
        <translation>Band 10 B</translation>
    </message>
    <message>
        <source>Band 6m</source>
        <translation>Band 6m</translation>
    </message>
    <message>
        <source>Band 2m</source>
        <translation>Band 2m</translation>
    </message>
    <message>
        <source>Do you want really clear all memories?</source>
        <translation>Do you want really clear all memories?</translation>
    </message>
    <message>
        <source>Scala:</source>
        <translation>Scale:</translation>
    </message>
    <message>
        <source>Scala X:</source>
        <translation>Scale X:</translation>
    </message>
    <message>
        <source>Sca&amp;le:</source>
        <translation>Sca&amp;le:</translation>
    </message>
    <message>
        <source>THE PORT STOPPED WORKING: nothing is measured; choose the port again in Parameters</source>
        <translation>THE PORT STOPPED WORKING: nothing is measured; choose the port again in Parameters</translation>
    </message>
    <message>
        <source> (ideal board)</source>
        <translation> (ideal board)</translation>
    </message>
    <message>
        <source> - its quartz is %1 MHz, Parameters say %2 MHz</source>
        <translation> - its quartz is %1 MHz, Parameters say %2 MHz</translation>
    </message>
    <message>
        <source>a 90 dB attenuator: below what the detector can resolve</source>
        <translation>a 90 dB attenuator: below what the detector can resolve</translation>
    </message>
    <message>
        <source>a 25 dB amplifier: beyond the top of the detector</source>
        <translation>a 25 dB amplifier: beyond the top of the detector</translation>
    </message>
    <message>
        <source>Board</source>
        <translation>Board</translation>
    </message>
    <message>
        <source>parts as they come: detector and bridge errors, noise</source>
        <translation>parts as they come: detector and bridge errors, noise</translation>
    </message>
    <message>
        <source>the read-out laws exactly</source>
        <translation>the read-out laws exactly</translation>
    </message>
    <message>
        <source>typical: the parts&apos; own errors and noise, so calibration matters;
ideal: the laws the program reads with, exactly</source>
        <translation>typical: the parts&apos; own errors and noise, so calibration matters;
ideal: the laws the program reads with, exactly</translation>
    </message>
    <message>
        <source>Own quartz, MHz:</source>
        <translation>Own quartz, MHz:</translation>
    </message>
    <message>
        <source>Unticked, the board&apos;s quartz is the one Parameters (dds.cfg) names.
Ticked, the board runs from this quartz instead: a wrong setting to rehearse.</source>
        <translation>Unticked, the board&apos;s quartz is the one Parameters (dds.cfg) names.
Ticked, the board runs from this quartz instead: a wrong setting to rehearse.</translation>
    </message>
    <message>
        <source>board &apos;%1&apos;: typical or ideal</source>
        <translation>board &apos;%1&apos;: typical or ideal</translation>
    </message>
    <message>
        <source>Board: %1.</source>
        <translation>Board: %1.</translation>
    </message>
    <message>
        <source>Board: %1, its own quartz %2 MHz.</source>
        <translation>Board: %1, its own quartz %2 MHz.</translation>
    </message>
    <message>
        <source>; set apart: Parameters say %1 MHz</source>
        <translation>; set apart: Parameters say %1 MHz</translation>
    </message>
    <message>
        <source>; its own</source>
        <translation>; its own</translation>
    </message>
    <message>
        <source>; as Parameters</source>
        <translation>; as Parameters</translation>
    </message>
    <message>
        <source>%1 board: Detector %2 (%3)   Bridge A %4, B %5</source>
        <translation>%1 board: Detector %2 (%3), Bridge A %4, B %5</translation>
    </message>
    <message>
        <source>Ideal</source>
        <translation>Ideal</translation>
    </message>
    <message>
        <source>Typical</source>
        <translation>Typical</translation>
    </message>
    <message>
        <source>SWR min</source>
        <translation>SWR min</translation>
    </message>
    <message>
        <source>at</source>
        <translation>at</translation>
    </message>
    <message>
        <source>R there</source>
        <translation>R there</translation>
    </message>
    <message>
        <source>X there</source>
        <translation>X there</translation>
    </message>
    <message>
        <source>SWR 2 low</source>
        <translation>SWR 2 low</translation>
    </message>
    <message>
        <source>SWR 2 high</source>
        <translation>SWR 2 high</translation>
    </message>
    <message>
        <source>SWR 2 width</source>
        <translation>SWR 2 width</translation>
    </message>
    <message>
        <source>SWR 1.5 low</source>
        <translation>SWR 1.5 low</translation>
    </message>
    <message>
        <source>SWR 1.5 high</source>
        <translation>SWR 1.5 high</translation>
    </message>
    <message>
        <source>SWR 1.5 width</source>
        <translation>SWR 1.5 width</translation>
    </message>
    <message>
        <source>X = 0 at</source>
        <translation>X = 0 at</translation>
    </message>
    <message>
        <source>none</source>
        <translation>none</translation>
    </message>
    <message>
        <source>Maximum</source>
        <translation>Maximum</translation>
    </message>
    <message>
        <source>-3 dB low</source>
        <translation>-3 dB low</translation>
    </message>
    <message>
        <source>-3 dB high</source>
        <translation>-3 dB high</translation>
    </message>
    <message>
        <source>Centre</source>
        <translation>Centre</translation>
    </message>
    <message>
        <source>BW -3 dB</source>
        <translation>BW -3 dB</translation>
    </message>
    <message>
        <source>BW -6 dB</source>
        <translation>BW -6 dB</translation>
    </message>
    <message>
        <source>BW -60 dB</source>
        <translation>BW -60 dB</translation>
    </message>
    <message>
        <source>Shape -60/-6</source>
        <translation>Shape -60/-6</translation>
    </message>
    <message>
        <source>Insertion loss</source>
        <translation>Insertion loss</translation>
    </message>
    <message>
        <source>A label has at most 40 characters.</source>
        <translation>A label has at most 40 characters.</translation>
    </message>
    <message>
        <source>A label holds no comma, double quote or line break.</source>
        <translation>A label holds no comma, double quote or line break.</translation>
    </message>
    <message>
        <source>Line %1: %2</source>
        <translation>Line %1: %2</translation>
    </message>
    <message>
        <source>this is not a crystal batch (its header is missing).</source>
        <translation>this is not a crystal batch (its header is missing).</translation>
    </message>
    <message>
        <source>the number, Fs and R must be numbers.</source>
        <translation>the number, Fs and R must be numbers.</translation>
    </message>
    <message>
        <source>the file is empty.</source>
        <translation>the file is empty.</translation>
    </message>
    <message>
        <source>Fs lies near an end of the sweep: centre the span on the resonance.</source>
        <translation>Fs lies near an end of the sweep: centre the span on the resonance.</translation>
    </message>
    <message>
        <source>the column %1 is not one a batch has.</source>
        <translation>the column %1 is not one a batch has.</translation>
    </message>
    <message>
        <source>a crystal has %1 fields.</source>
        <translation>a crystal has %1 fields.</translation>
    </message>
    <message>
        <source>The sweep needs at least 7 points.</source>
        <translation>The sweep needs at least 7 points.</translation>
    </message>
    <message>
        <source>The sweep has no span.</source>
        <translation>The sweep has no span.</translation>
    </message>
    <message>
        <source>The calibration counts are equal: no level can be read.</source>
        <translation>The calibration counts are equal: no level can be read.</translation>
    </message>
    <message>
        <source>No level of the sweep lies above the detector&apos;s floor.</source>
        <translation>No level of the sweep lies above the detector&apos;s floor.</translation>
    </message>
    <message>
        <source>The series resonance lies outside the through-path reference (0.1 to 160 MHz).</source>
        <translation>The series resonance lies outside the through-path reference (0.1 to 160 MHz).</translation>
    </message>
    <message>
        <source>The -3 dB width covers only %1 sweep steps: too few to fit. Narrow the span or take more points.</source>
        <translation>The -3 dB width covers only %1 sweep steps: too few to fit. Narrow the span or take more points.</translation>
    </message>
    <message>
        <source>Too few levels above the detector&apos;s floor to fit.</source>
        <translation>Too few levels above the detector&apos;s floor to fit.</translation>
    </message>
    <message>
        <source>The curve does not pin down all four parameters of the crystal.</source>
        <translation>The curve does not pin down all four parameters of the crystal.</translation>
    </message>
    <message>
        <source>Fitted to %1 levels (rms residual %2 dB); intervals hold the fit&apos;s noise, the read-out&apos;s resolution and the detector&apos;s stated error.</source>
        <translation>Fitted to %1 levels (rms residual %2 dB); intervals hold the fit&apos;s noise, the read-out&apos;s resolution and the detector&apos;s stated error.</translation>
    </message>
    <message>
        <source>From the peak and the interpolated -3 dB points, not fitted: </source>
        <translation>From the peak and the interpolated -3 dB points, not fitted: </translation>
    </message>
    <message>
        <source>Mean of %1 passes.</source>
        <translation>Mean of %1 passes.</translation>
    </message>
    <message>
        <source>The mesh of crystal %1 lies %2 Hz above the others and cannot be tuned down: choose crystals of closer Fs.</source>
        <translation>The mesh of crystal %1 lies %2 Hz above the others and cannot be tuned down: choose crystals of closer Fs.</translation>
    </message>
    <message>
        <source>A ladder filter has 2 to 8 crystals.</source>
        <translation>A ladder filter has 2 to 8 crystals.</translation>
    </message>
    <message>
        <source>A %1-pole filter needs %1 crystals; %2 were given.</source>
        <translation>A %1-pole filter needs %1 crystals; %2 were given.</translation>
    </message>
    <message>
        <source>Crystal %1 has no measured Fs, R and L: it cannot be used.</source>
        <translation>Crystal %1 has no measured Fs, R and L: it cannot be used.</translation>
    </message>
    <message>
        <source>The bandwidth must be above 0 and at most 1 % of the crystals&apos; frequency.</source>
        <translation>The bandwidth must be above 0 and at most 1 % of the crystals&apos; frequency.</translation>
    </message>
    <message>
        <source>The termination must be above 0 ohm.</source>
        <translation>The termination must be above 0 ohm.</translation>
    </message>
    <message>
        <source>With %1 poles the equal-capacitor form&apos;s passband dips %2 dB near its edges: choose fewer poles or a Chebyshev shape.</source>
        <translation>With %1 poles the equal-capacitor form&apos;s passband dips %2 dB near its edges: choose fewer poles or a Chebyshev shape.</translation>
    </message>
    <message>
        <source>The crystals lose too much for this bandwidth: the termination would be below 0 ohm. Ask for a wider filter or choose crystals of lower R.</source>
        <translation>The crystals lose too much for this bandwidth: the termination would be below 0 ohm. Ask for a wider filter or choose crystals of lower R.</translation>
    </message>
    <message>
        <source>The predicted response has no -3 dB width.</source>
        <translation>The predicted response has no -3 dB width.</translation>
    </message>
    <message>
        <source>The predicted -3 dB width is %1 Hz, not the %2 Hz asked.</source>
        <translation>The predicted -3 dB width is %1 Hz, not the %2 Hz asked.</translation>
    </message>
    <message>
        <source>The shape needs a termination of %1 ohm; with %2 ohm the response differs from it (see the prediction).</source>
        <translation>The shape needs a termination of %1 ohm; with %2 ohm the response differs from it (see the prediction).</translation>
    </message>
    <message>
        <source>The delay is at most %1 ms per point.</source>
        <translation>The delay is at most %1 ms per point.</translation>
    </message>
    <message>
        <source>The passes to average are a whole number from 1 to %1.</source>
        <translation>The passes to average are a whole number from 1 to %1.</translation>
    </message>
    <message>
        <source>avg %1/%2</source>
        <translation>avg %1/%2</translation>
    </message>
    <message>
        <source>Average</source>
        <translation>Average</translation>
    </message>
    <message>
        <source>Passes averaged, 1 to 100</source>
        <translation>Passes averaged, 1 to 100</translation>
    </message>
    <message>
        <source>not calibrated</source>
        <translation>not calibrated</translation>
    </message>
    <message>
        <source>At 0 MHz the generator gives no signal: calibrate at a frequency above 0.</source>
        <translation>At 0 MHz the generator gives no signal: calibrate at a frequency above 0.</translation>
    </message>
    <message>
        <source>The detector reads %1 at %2 MHz for %3</source>
        <translation>The detector reads %1 at %2 MHz for %3</translation>
    </message>
    <message>
        <source>the generator&apos;s output straight to the detector input</source>
        <translation>the generator&apos;s output straight to the detector input</translation>
    </message>
    <message>
        <source>the generator&apos;s output to the detector input through 60 dB</source>
        <translation>the generator&apos;s output to the detector input through 60 dB</translation>
    </message>
    <message>
        <source>The calibration was not changed.</source>
        <translation>The calibration was not changed.</translation>
    </message>
    <message>
        <source>%1; with %2 counts for %3 that makes %4 counts per dB, where the detector gives %5 to %6. Check the level applied (%7), or take %3 again (%8) or the default counts (%9) first.</source>
        <translation>%1; with %2 counts for %3 that makes %4 counts per dB, where the detector gives %5 to %6. Check the level applied (%7), or take %3 again (%8) or the default counts (%9) first.</translation>
    </message>
    <message>
        <source>There is no previous calibration yet (%1): one is kept each time a calibration changes the counts.</source>
        <translation>There is no previous calibration yet (%1): one is kept each time a calibration changes the counts.</translation>
    </message>
    <message>
        <source>R0 is 0 ohm: enter the fixture&apos;s resistance with %1.</source>
        <translation>R0 is 0 ohm: enter the fixture&apos;s resistance with %1.</translation>
    </message>
    <message>
        <source>The 0 dBm and -60 dBm calibrations hold the same detector count (%1): no level can be computed from them. Calibrate again, or choose %2.</source>
        <translation>The 0 dBm and -60 dBm calibrations hold the same detector count (%1): no level can be computed from them. Calibrate again, or choose %2.</translation>
    </message>
    <message>
        <source>Check that the generator&apos;s output is wired straight to the detector input (for the crystal fixture: the crystal bypassed) and that the generator runs (the port and the clock in Parameters).</source>
        <translation>Check that the generator&apos;s output is wired straight to the detector input (for the crystal fixture: the crystal bypassed) and that the generator runs (the port and the clock in Parameters).</translation>
    </message>
    <message>
        <source>It was not stored; the table in use is unchanged.</source>
        <translation>It was not stored; the table in use is unchanged.</translation>
    </message>
    <message>
        <source>%1 reads the detector&apos;s floor at %2 of %3 points. %4 %5</source>
        <translation>%1 reads the detector&apos;s floor at %2 of %3 points. %4 %5</translation>
    </message>
    <message>
        <source>%1 overloads the detector at %2 of %3 points (first at %4 MHz): the levels there would only be bounds. Check that nothing amplifies the signal on its way. %5</source>
        <translation>%1 overloads the detector at %2 of %3 points (first at %4 MHz): the levels there would only be bounds. Check that nothing amplifies the signal on its way. %5</translation>
    </message>
    <message>
        <source>%1 is a flat line (%2 to %3 dBm at every point), where the generator&apos;s response was expected to fall with frequency: the detector does not follow the generator. %4 %5</source>
        <translation>%1 is a flat line (%2 to %3 dBm at every point), where the generator&apos;s response was expected to fall with frequency: the detector does not follow the generator. %4 %5</translation>
    </message>
    <message>
        <source>The level reference</source>
        <translation>The level reference</translation>
    </message>
    <message>
        <source>&apos;%1&apos; is no resistance above 0 ohm: R0 and Quartz.rif were not changed.</source>
        <translation>&apos;%1&apos; is no resistance above 0 ohm: R0 and Quartz.rif were not changed.</translation>
    </message>
    <message>
        <source>The crystal fixture&apos;s through path</source>
        <translation>The crystal fixture&apos;s through path</translation>
    </message>
    <message>
        <source>Not calibrated: levels may be a few dB off (see %1)</source>
        <translation>Not calibrated: levels may be a few dB off (see %1)</translation>
    </message>
    <message>
        <source>the values, their intervals, passes and group are numbers or empty, the method fit or edges, the calibration default, level or steps, the verdict pass, fail or indeterminate, and Fl comes with its load.</source>
        <translation>the values, their intervals, passes and group are numbers or empty, the method fit or edges, the calibration default, level or steps, the verdict pass, fail or indeterminate, and Fl comes with its load.</translation>
    </message>
    <message>
        <source>The fixture&apos;s loss steps do not read larger losses for larger attenuators: they are not used. Measure them again.</source>
        <translation>The fixture&apos;s loss steps do not read larger losses for larger attenuators: they are not used. Measure them again.</translation>
    </message>
    <message>
        <source>No resonance in the sweep: the level does not fall 3 dB on either side of its highest point. Widen the span over the crystal, or let the meter find it.</source>
        <translation>No resonance in the sweep: the level does not fall 3 dB on either side of its highest point. Widen the span over the crystal, or let the meter find it.</translation>
    </message>
    <message>
        <source>The highest level lies at the sweep&apos;s %1 (%2 MHz): the resonance may lie beyond it. Move the span over it, or let the meter find it.</source>
        <translation>The highest level lies at the sweep&apos;s %1 (%2 MHz): the resonance may lie beyond it. Move the span over it, or let the meter find it.</translation>
    </message>
    <message>
        <source>start</source>
        <translation>start</translation>
    </message>
    <message>
        <source>end</source>
        <translation>end</translation>
    </message>
    <message>
        <source>The level falls 3 dB only above or only below its highest point: the resonance reaches beyond the sweep&apos;s %1. Widen the span over it, or let the meter find it.</source>
        <translation>The level falls 3 dB only above or only below its highest point: the resonance reaches beyond the sweep&apos;s %1. Widen the span over it, or let the meter find it.</translation>
    </message>
    <message>
        <source>coarse</source>
        <translation>coarse</translation>
    </message>
    <message>
        <source>narrow</source>
        <translation>narrow</translation>
    </message>
    <message>
        <source>No resonance stands out of the sweep from %1 to %2 MHz: is the crystal in the fixture, and its frequency inside the span?</source>
        <translation>No resonance stands out of the sweep from %1 to %2 MHz: is the crystal in the fixture, and its frequency inside the span?</translation>
    </message>
    <message>
        <source>it did not converge</source>
        <translation>it did not converge</translation>
    </message>
    <message>
        <source>its series resonance lies outside the sweep</source>
        <translation>its series resonance lies outside the sweep</translation>
    </message>
    <message>
        <source>its values are no crystal&apos;s (C0 %1 pF, Q %2)</source>
        <translation>its values are no crystal&apos;s (C0 %1 pF, Q %2)</translation>
    </message>
    <message>
        <source>its notch (%1 MHz) lies outside the one the sweep shows (%2 to %3 MHz)</source>
        <translation>its notch (%1 MHz) lies outside the one the sweep shows (%2 to %3 MHz)</translation>
    </message>
    <message>
        <source>its level at the peak is %1 dB, the level read %2 dB</source>
        <translation>its level at the peak is %1 dB, the level read %2 dB</translation>
    </message>
    <message>
        <source>its curve leaves the levels read at %1 of %2 points</source>
        <translation>its curve leaves the levels read at %1 of %2 points</translation>
    </message>
    <message>
        <source>The fit of the crystal&apos;s circuit failed its checks: %1.</source>
        <translation>The fit of the crystal&apos;s circuit failed its checks: %1.</translation>
    </message>
    <message>
        <source>&apos;%1&apos; is not a limit: fs_min=MHZ, fs_max=MHZ, r_max=OHM or q_min=Q</source>
        <translation>&apos;%1&apos; is not a limit: fs_min=MHZ, fs_max=MHZ, r_max=OHM or q_min=Q</translation>
    </message>
    <message>
        <source>&apos;%1&apos; is not a number</source>
        <translation>&apos;%1&apos; is not a number</translation>
    </message>
    <message>
        <source>%1 is given twice</source>
        <translation>%1 is given twice</translation>
    </message>
    <message>
        <source>no limit is given</source>
        <translation>no limit is given</translation>
    </message>
    <message>
        <source>fs_min is not below fs_max: no crystal can meet both</source>
        <translation>fs_min is not below fs_max: no crystal can meet both</translation>
    </message>
    <message>
        <source>r_max is not above 0 ohm: no crystal can meet it</source>
        <translation>r_max is not above 0 ohm: no crystal can meet it</translation>
    </message>
    <message>
        <source>q_min is below 0</source>
        <translation>q_min is below 0</translation>
    </message>
    <message>
        <source>%1 not measured</source>
        <translation>%1 not measured</translation>
    </message>
    <message>
        <source>%1 %2 below %3</source>
        <translation>%1 %2 below %3</translation>
    </message>
    <message>
        <source>%1 %2 above %3</source>
        <translation>%1 %2 above %3</translation>
    </message>
    <message>
        <source>%1 %2 straddles %3</source>
        <translation>%1 %2 straddles %3</translation>
    </message>
    <message>
        <source>The detector&apos;s counts are the default ones: its slope is known only within %1 %, and R, L, Cs, C0 and Q carry that. Calibrate it (%2) or measure a loss step through the fixture (%3) to narrow them.</source>
        <translation>The detector&apos;s counts are the default ones: its slope is known only within %1 %, and R, L, Cs, C0 and Q carry that. Calibrate it (%2) or measure a loss step through the fixture (%3) to narrow them.</translation>
    </message>
    <message>
        <source>The load capacitance is one above 0 pF and up to 1000 pF (a crystal&apos;s load is some 8 to 50 pF).</source>
        <translation>The load capacitance is one above 0 pF and up to 1000 pF (a crystal&apos;s load is some 8 to 50 pF).</translation>
    </message>
    <message>
        <source>Fl at %1 pF  </source>
        <translation>Fl at %1 pF: </translation>
    </message>
    <message>
        <source>this is not a crystal fixture&apos;s record.</source>
        <translation>this is not a crystal fixture&apos;s record.</translation>
    </message>
    <message>
        <source>the through path&apos;s counts are not two counts.</source>
        <translation>the through path&apos;s counts are not two counts.</translation>
    </message>
    <message>
        <source>a step is &quot;step loss_db=DB pm_db=DB cal0=N cal60=N&quot;.</source>
        <translation>a step is &quot;step loss_db=DB pm_db=DB cal0=N cal60=N&quot;.</translation>
    </message>
    <message>
        <source>a step&apos;s loss, tolerance or counts are out of range.</source>
        <translation>a step&apos;s loss, tolerance or counts are out of range.</translation>
    </message>
    <message>
        <source>a step&apos;s levels are missing.</source>
        <translation>a step&apos;s levels are missing.</translation>
    </message>
    <message>
        <source>a step holds 1601 levels.</source>
        <translation>a step holds 1601 levels.</translation>
    </message>
    <message>
        <source>two steps of the same loss.</source>
        <translation>two steps of the same loss.</translation>
    </message>
    <message>
        <source>A step is an attenuator of 0.5 to 60 dB.</source>
        <translation>A step is an attenuator of 0.5 to 60 dB.</translation>
    </message>
    <message>
        <source>The detector reads %1 dB at %2 MHz for the attenuator stated as %3 dB: is it in the fixture in the crystal&apos;s place, and of that value? Nothing was kept.</source>
        <translation>The detector reads %1 dB at %2 MHz for the attenuator stated as %3 dB: is it in the fixture in the crystal&apos;s place, and of that value? Nothing was kept.</translation>
    </message>
    <message>
        <source>The settings folder &apos;%1&apos; cannot be written (%2). Calibrations, memories, band buttons and settings changed in this session will not be kept.</source>
        <translation>The settings folder &apos;%1&apos; cannot be written (%2). Calibrations, memories, band buttons and settings changed in this session will not be kept.</translation>
    </message>
    <message>
        <source>Connect it on the simulator</source>
        <translation>Connect it on the simulator</translation>
    </message>
    <message>
        <source>The simulator is not in use: nothing was connected.</source>
        <translation>The simulator is not in use: nothing was connected.</translation>
    </message>
    <message>
        <source>Connected on the simulator: %1 between generator and detector.</source>
        <translation>Connected on the simulator: %1 between generator and detector.</translation>
    </message>
    <message>
        <source>Not kept for the next run: %1</source>
        <translation>Not kept for the next run: %1</translation>
    </message>
    <message>
        <source>Store the current frequency here</source>
        <translation>Store the current frequency here</translation>
    </message>
    <message>
        <source>Empty: right-click it, or click it and choose &quot;Store the current frequency here&quot;, to keep the working frequency in it.</source>
        <translation>Empty: right-click it, or click it and choose &quot;Store the current frequency here&quot;, to keep the working frequency in it.</translation>
    </message>
    <message>
        <source>The DDS would have to run at %1 MHz, above its limit of %2 MHz (0.4 x the clock of %3 MHz): the working frequency is held at %4 MHz.</source>
        <translation>The DDS would have to run at %1 MHz, above its limit of %2 MHz (0.4 x the clock of %3 MHz): the working frequency is held at %4 MHz.</translation>
    </message>
    <message>
        <source>X = 0</source>
        <translation>X = 0</translation>
    </message>
    <message>
        <source>uncorrected: no calibration</source>
        <translation>uncorrected: no calibration</translation>
    </message>
    <message>
        <source>uncorrected: outside the calibration&apos;s %1 to %2 MHz</source>
        <translation>uncorrected: outside the calibration&apos;s %1 to %2 MHz</translation>
    </message>
    <message>
        <source>uncorrected below %1 and above %2 MHz</source>
        <translation>uncorrected below %1 and above %2 MHz</translation>
    </message>
    <message>
        <source>uncorrected below %1 MHz</source>
        <translation>uncorrected below %1 MHz</translation>
    </message>
    <message>
        <source>uncorrected above %1 MHz</source>
        <translation>uncorrected above %1 MHz</translation>
    </message>
    <message>
        <source>%1 The crystal meter measures nothing until the fixture is calibrated again (calQuarz) or Quartz.cfg is removed.</source>
        <translation>%1 The crystal meter measures nothing until the fixture is calibrated again (calQuarz) or Quartz.cfg is removed.</translation>
    </message>
    <message>
        <source>%1 to %2 MHz, %3 points</source>
        <translation>%1 to %2 MHz, %3 points</translation>
    </message>
    <message>
        <source>The sweep shows the crystal&apos;s resonance too coarsely for its values. Find it: sweep again around it by itself, narrowly, in at most %1 more sweeps (the next: %2)? Cancel shows what this sweep gives.</source>
        <translation>The sweep shows the crystal&apos;s resonance too coarsely for its values. Find it: sweep again around it by itself, narrowly, in at most %1 more sweeps (the next: %2)? Cancel shows what this sweep gives.</translation>
    </message>
    <message>
        <source>Finding the crystal: sweep %1 of at most %2 (%3), %4.</source>
        <translation>Finding the crystal: sweep %1 of at most %2 (%3), %4.</translation>
    </message>
    <message>
        <source>A loss step is read against the fixture&apos;s through path: measure it first (calQuarz).</source>
        <translation>A loss step is read against the fixture&apos;s through path: measure it first (calQuarz).</translation>
    </message>
    <message>
        <source>&apos;%1&apos; is not a number from %2 to %3 dB: nothing was measured.</source>
        <translation>&apos;%1&apos; is not a number from %2 to %3 dB: nothing was measured.</translation>
    </message>
    <message>
        <source>Put an attenuator of known loss in the crystal&apos;s place. Its loss, dB (0.5 to 60):</source>
        <translation>Put an attenuator of known loss in the crystal&apos;s place. Its loss, dB (0.5 to 60):</translation>
    </message>
    <message>
        <source>How far its loss may be off, dB (its stated tolerance):</source>
        <translation>How far its loss may be off, dB (its stated tolerance):</translation>
    </message>
    <message>
        <source>The loss step was stopped before its end: Quartz.cfg was not changed.</source>
        <translation>The loss step was stopped before its end: Quartz.cfg was not changed.</translation>
    </message>
    <message>
        <source>The loss step of %1 dB is kept in Quartz.cfg (%2 steps): the crystal meter reads losses through them, and the detector&apos;s slope no longer widens its intervals.</source>
        <translation>The loss step of %1 dB is kept in Quartz.cfg (%2 steps): the crystal meter reads losses through them, and the detector&apos;s slope no longer widens its intervals.</translation>
    </message>
    <message>
        <source>Quartz.cfg holds no loss steps.</source>
        <translation>Quartz.cfg holds no loss steps.</translation>
    </message>
    <message>
        <source>Forget the %1 loss steps kept in Quartz.cfg?</source>
        <translation>Forget the %1 loss steps kept in Quartz.cfg?</translation>
    </message>
    <message>
        <source>The load capacitance was not changed.</source>
        <translation>The load capacitance was not changed.</translation>
    </message>
    <message>
        <source>Load capacitance</source>
        <translation>Load capacitance</translation>
    </message>
    <message>
        <source>The load capacitance the crystal is to oscillate with, pF: the crystal meter and the batch then give the frequency Fl it oscillates at. Empty: no load.</source>
        <translation>The load capacitance the crystal is to oscillate with, pF: the crystal meter and the batch then give the frequency Fl it oscillates at. Empty: no load.</translation>
    </message>
    <message>
        <source>the limit&apos;s span does not rise: FROM_MHZ below TO_MHZ</source>
        <translation>the limit&apos;s span does not rise: FROM_MHZ below TO_MHZ</translation>
    </message>
    <message>
        <source>overlaps the limit of line %1</source>
        <translation>overlaps the limit of line %1</translation>
    </message>
    <message>
        <source>the upper limit lies below the lower limit of line %1 at %2 MHz</source>
        <translation>the upper limit lies below the lower limit of line %1 at %2 MHz</translation>
    </message>
    <message>
        <source>not a limit mask (its first line is not &quot;kolm-mask 1&quot;)</source>
        <translation>not a limit mask (its first line is not &quot;kolm-mask 1&quot;)</translation>
    </message>
    <message>
        <source>a mask of version %1, from a newer Kolm: this one reads version 1</source>
        <translation>a mask of version %1, from a newer Kolm: this one reads version 1</translation>
    </message>
    <message>
        <source>quantity NAME: one name of small letters, digits, - and /</source>
        <translation>quantity NAME: one name of small letters, digits, - and /</translation>
    </message>
    <message>
        <source>&apos;%1&apos; is not a statement of a mask: quantity, upper or lower</source>
        <translation>&apos;%1&apos; is not a statement of a mask: quantity, upper or lower</translation>
    </message>
    <message>
        <source>a limit before any quantity line</source>
        <translation>a limit before any quantity line</translation>
    </message>
    <message>
        <source>%1 FROM_MHZ TO_MHZ LIMIT [LIMIT_AT_TO]</source>
        <translation>%1 FROM_MHZ TO_MHZ LIMIT [LIMIT_AT_TO]</translation>
    </message>
    <message>
        <source>an empty file: not a limit mask</source>
        <translation>an empty file: not a limit mask</translation>
    </message>
    <message>
        <source>the mask holds no limit</source>
        <translation>the mask holds no limit</translation>
    </message>
    <message>
        <source>the sweep does not cover %1 to %2 MHz of line %3</source>
        <translation>the sweep does not cover %1 to %2 MHz of line %3</translation>
    </message>
    <message>
        <source>the mask holds no limit of %1</source>
        <translation>the mask holds no limit of %1</translation>
    </message>
    <message>
        <source>%1 at %2 MHz</source>
        <translation>%1 at %2 MHz</translation>
    </message>
    <message>
        <source>no point of the sweep lies under the mask</source>
        <translation>no point of the sweep lies under the mask</translation>
    </message>
    <message>
        <source>stated twice</source>
        <translation>stated twice</translation>
    </message>
    <message>
        <source>a line the session does not hold</source>
        <translation>a line the session does not hold</translation>
    </message>
    <message>
        <source>instrument power or instrument analyzer</source>
        <translation>instrument power or instrument analyzer</translation>
    </message>
    <message>
        <source>an empty text, or one with a stray backslash</source>
        <translation>an empty text, or one with a stray backslash</translation>
    </message>
    <message>
        <source>sweep START_MHZ STOP_MHZ POINTS (1 to 20001) AVERAGE (1 to 100)</source>
        <translation>sweep START_MHZ STOP_MHZ POINTS (1 to 20001) AVERAGE (1 to 100)</translation>
    </message>
    <message>
        <source>calibration CHECKSUM FILE</source>
        <translation>calibration CHECKSUM FILE</translation>
    </message>
    <message>
        <source>marker MHZ</source>
        <translation>marker MHZ</translation>
    </message>
    <message>
        <source>more than four markers</source>
        <translation>more than four markers</translation>
    </message>
    <message>
        <source>limit QUANTITY upper|lower FROM TO LIMIT LIMIT_AT_TO</source>
        <translation>limit QUANTITY upper|lower FROM TO LIMIT LIMIT_AT_TO</translation>
    </message>
    <message>
        <source>more than 1000 traces</source>
        <translation>more than 1000 traces</translation>
    </message>
    <message>
        <source>trace POINTS RRGGBB SHOWN QUANTITY UNIT NAME</source>
        <translation>trace POINTS RRGGBB SHOWN QUANTITY UNIT NAME</translation>
    </message>
    <message>
        <source>the file ends inside a trace</source>
        <translation>the file ends inside a trace</translation>
    </message>
    <message>
        <source>MHZ VALUE LOW HIGH MARK</source>
        <translation>MHZ VALUE LOW HIGH MARK</translation>
    </message>
    <message>
        <source>a line after the session&apos;s end</source>
        <translation>a line after the session&apos;s end</translation>
    </message>
    <message>
        <source>the file ends before the session&apos;s end: it is cut</source>
        <translation>the file ends before the session&apos;s end: it is cut</translation>
    </message>
    <message>
        <source>the session names no instrument: the file is cut or damaged</source>
        <translation>the session names no instrument: the file is cut or damaged</translation>
    </message>
    <message>
        <source>the session was saved without a calibration; one is in use now</source>
        <translation>the session was saved without a calibration; one is in use now</translation>
    </message>
    <message>
        <source>the session&apos;s calibration %1 is not there any more</source>
        <translation>the session&apos;s calibration %1 is not there any more</translation>
    </message>
    <message>
        <source>the calibration %1 has changed since the session was saved</source>
        <translation>the calibration %1 has changed since the session was saved</translation>
    </message>
    <message>
        <source>the trace&apos;s columns differ in length</source>
        <translation>the trace&apos;s columns differ in length</translation>
    </message>
    <message>
        <source>point %1: the frequencies do not rise</source>
        <translation>point %1: the frequencies do not rise</translation>
    </message>
    <message>
        <source>point %1: unknown mark</source>
        <translation>point %1: unknown mark</translation>
    </message>
    <message>
        <source>point %1: the value lies outside its interval</source>
        <translation>point %1: the value lies outside its interval</translation>
    </message>
    <message>
        <source>%1 (%2) and %3 (%4) are not the same quantity</source>
        <translation>%1 (%2) and %3 (%4) are not the same quantity</translation>
    </message>
    <message>
        <source>a ratio is taken of linear quantities only: levels, return losses and phases are compared by their difference</source>
        <translation>a ratio is taken of linear quantities only: levels, return losses and phases are compared by their difference</translation>
    </message>
    <message>
        <source>a trace without points cannot be compared</source>
        <translation>a trace without points cannot be compared</translation>
    </message>
    <message>
        <source>%1 (%2 to %3 MHz) and %4 (%5 to %6 MHz) have no frequency in common</source>
        <translation>%1 (%2 to %3 MHz) and %4 (%5 to %6 MHz) have no frequency in common</translation>
    </message>
    <message>
        <source>only from %1 to %2 MHz, where both traces have values</source>
        <translation>only from %1 to %2 MHz, where both traces have values</translation>
    </message>
    <message>
        <source>an external signal of 0 dBm to the detector input</source>
        <translation>an external signal of 0 dBm to the detector input</translation>
    </message>
    <message>
        <source>an external signal of -60 dBm to the detector input</source>
        <translation>an external signal of -60 dBm to the detector input</translation>
    </message>
    <message>
        <source>%1, at the bottom of its converter: no signal reaches it. Check the cable (%2) and that the generator runs (the port and the clock in Parameters).</source>
        <translation>%1, at the bottom of its converter: no signal reaches it. Check the cable (%2) and that the generator runs (the port and the clock in Parameters).</translation>
    </message>
    <message>
        <source>%1, at the top of its converter: the signal is too strong. Check the level applied (%2).</source>
        <translation>%1, at the top of its converter: the signal is too strong. Check the level applied (%2).</translation>
    </message>
    <message>
        <source>The detector reads %1 from the external signal for %2</source>
        <translation>The detector reads %1 from the external signal for %2</translation>
    </message>
    <message>
        <source>Use anyway</source>
        <translation>Use anyway</translation>
    </message>
    <message>
        <source>%1, at the bottom of its converter: no signal reaches it. Check the cable (%2) and that the signal source is on.</source>
        <translation>%1, at the bottom of its converter: no signal reaches it. Check the cable (%2) and that the signal source is on.</translation>
    </message>
    <message>
        <source>The calibration counts %1 (0 dBm) and %2 (-60 dBm) make %3 counts per dB, where the detector gives %4 to %5 between counts %6 and %7: levels read with them are marked approximate and may be far off. Calibrate again, or choose the default counts.</source>
        <translation>The calibration counts %1 (0 dBm) and %2 (-60 dBm) make %3 counts per dB, where the detector gives %4 to %5 between counts %6 and %7: levels read with them are marked approximate and may be far off. Calibrate again, or choose the default counts.</translation>
    </message>
    <message>
        <source>The detector&apos;s counts lie outside its figures: R, L, Cs, C0 and Q carry what the figures allow of its slope. Calibrate it again (%1) or measure a loss step through the fixture (%2).</source>
        <translation>The detector&apos;s counts lie outside its figures: R, L, Cs, C0 and Q carry what the figures allow of its slope. Calibrate it again (%1) or measure a loss step through the fixture (%2).</translation>
    </message>
    <message>
        <source>Calibration counts outside the detector&apos;s figures: levels may be far off (see %1)</source>
        <translation>Calibration counts outside the detector&apos;s figures: levels may be far off (see %1)</translation>
    </message>
    <message>
        <source>the table ends after %1 of its %2 levels (one a line)</source>
        <translation>the table ends after %1 of its %2 levels (one a line)</translation>
    </message>
    <message>
        <source>&apos;%1&apos; is not a level in dBm</source>
        <translation>&apos;%1&apos; is not a level in dBm</translation>
    </message>
    <message>
        <source>two levels on one line</source>
        <translation>two levels on one line</translation>
    </message>
    <message>
        <source>text after the last of its %1 levels</source>
        <translation>text after the last of its %1 levels</translation>
    </message>
    <message>
        <source>It is not used.</source>
        <translation>It is not used.</translation>
    </message>
    <message>
        <source>Il generatore resta spento: la calibrazione vale alla frequenza del segnale esterno. Collegare un segnale esterno di 0 dBm all&apos;ingresso del rivelatore.</source>
        <translation>The generator stays off: the calibration holds at the external signal&apos;s frequency. Connect an external signal of 0 dBm to the detector input.</translation>
    </message>
    <message>
        <source>Il generatore resta spento: la calibrazione vale alla frequenza del segnale esterno. Collegare un segnale esterno di -60 dBm all&apos;ingresso del rivelatore.</source>
        <translation>The generator stays off: the calibration holds at the external signal&apos;s frequency. Connect an external signal of -60 dBm to the detector input.</translation>
    </message>
    <message>
        <source>Il generatore ora invia %1 MHz: la calibrazione vale a quella frequenza. Collegare l&apos;uscita del generatore direttamente all&apos;ingresso del rivelatore.</source>
        <translation>The generator now sends %1 MHz: the calibration holds at that frequency. Connect the generator&apos;s output straight to the detector input.</translation>
    </message>
    <message>
        <source>Il generatore ora invia %1 MHz: la calibrazione vale a quella frequenza. Collegare l&apos;uscita del generatore all&apos;ingresso del rivelatore attraverso 60 dB.</source>
        <translation>The generator now sends %1 MHz: the calibration holds at that frequency. Connect the generator&apos;s output to the detector input through 60 dB.</translation>
    </message>
    <message>
        <source>Sullo strumento simulato: %1 tra generatore e rivelatore nella finestra Simulator, oppure il pulsante qui sotto lo collega.</source>
        <translation>On the simulated instrument: %1 between generator and detector in the Simulator window, or the button below connects it.</translation>
    </message>
    <message>
        <source>R0 in ohm: la resistenza che chiude il circuito di prova, sorgente e carico insieme (50 ohm nel circuito di prova usuale).</source>
        <translation>R0, ohm: the fixture&apos;s terminating resistance, its source and load together (50 ohm on the usual fixture).</translation>
    </message>
    <message>
        <source>This sweep resolves the resonance too coarsely: sweep %1 (%2 offers it), or narrow the sweep there yourself.</source>
        <translation>This sweep resolves the resonance too coarsely: sweep %1 (%2 offers it), or narrow the sweep there yourself.</translation>
    </message>
    <message>
        <source>a session of the power meter, not of the analyzer</source>
        <translation>a session of the power meter, not of the analyzer</translation>
    </message>
    <message>
        <source>a session of the analyzer, not of the power meter</source>
        <translation>a session of the analyzer, not of the power meter</translation>
    </message>
    <message>
        <source>more than the sweep shows</source>
        <translation>more than the sweep shows</translation>
    </message>
    <message>
        <source>below the sweep&apos;s start</source>
        <translation>below the sweep&apos;s start</translation>
    </message>
    <message>
        <source>above the sweep&apos;s end</source>
        <translation>above the sweep&apos;s end</translation>
    </message>
    <message>
        <source>Calibrate</source>
        <translation>Calibrate</translation>
    </message>
    <message>
        <source>0 dBm</source>
        <translation>0 dBm</translation>
    </message>
    <message>
        <source>-60 dBm</source>
        <translation>-60 dBm</translation>
    </message>
    <message>
        <source>default</source>
        <translation>default</translation>
    </message>
    <message>
        <source>CrystalMeter</source>
        <translation>Crystal Meter</translation>
    </message>
    <message>
        <source>Quarzo</source>
        <translation>Measure crystal</translation>
    </message>
    <message>
        <source>calQuarz</source>
        <translation>Calibrate crystal fixture</translation>
    </message>
    <message>
        <source>Loss step</source>
        <translation>Loss step</translation>
    </message>
    <message>
        <source>levels TOP_DBM BOTTOM_DBM</source>
        <translation>levels TOP_DBM BOTTOM_DBM</translation>
    </message>
    <message>
        <source>delay MS (0 or more)</source>
        <translation>delay MS (0 or more)</translation>
    </message>
    <message>
        <source>log MARKER_ONLY (0 or 1) FILE</source>
        <translation>log MARKER_ONLY (0 or 1) FILE</translation>
    </message>
    <message>
        <source>not a session (its first line is not &quot;kolm-session&quot; and a version)</source>
        <translation>not a session (its first line is not &quot;kolm-session&quot; and a version)</translation>
    </message>
    <message>
        <source>&apos;%1&apos; is not a number: the box keeps %2 mm.</source>
        <translation>&apos;%1&apos; is not a number: the box keeps %2 mm.</translation>
    </message>
    <message>
        <source>&apos;%1&apos; is not a number of copies: type 1 or more.</source>
        <translation>&apos;%1&apos; is not a number of copies: type 1 or more.</translation>
    </message>
    <message>
        <source>Type the number of copies: 1 or more.</source>
        <translation>Type the number of copies: 1 or more.</translation>
    </message>
    <message>
        <source>Print</source>
        <translation>Print</translation>
    </message>
    <message>
        <source>MHZ VALUE LOW HIGH MARK [RE IM RADIUS MARK]</source>
        <translation>MHZ VALUE LOW HIGH MARK [RE IM RADIUS MARK]</translation>
    </message>
    <message>
        <source>MHZ VALUE LOW HIGH MARK [RE IM RADIUS MARK], on every point or none</source>
        <translation>MHZ VALUE LOW HIGH MARK [RE IM RADIUS MARK], on every point or none</translation>
    </message>
    <message>
        <source>a session of version %1, from a newer Kolm: this one reads versions 1 to 3</source>
        <translation>a session of version %1, from a newer Kolm: this one reads versions 1 to 3</translation>
    </message>
    <message>
        <source>%1 holds no reflections: the distance of two reflections is taken of the analyzer&apos;s traces</source>
        <translation>%1 holds no reflections: the distance of two reflections is taken of the analyzer&apos;s traces</translation>
    </message>
    <message>
        <source>point %1: the reflection is not a number</source>
        <translation>point %1: the reflection is not a number</translation>
    </message>
</context>
<context>
    <name>kolm::analyzer::ui::AnalyzerWindow</name>
    <message>
        <source>The chart file cannot be read.
%1</source>
        <translation>The chart file cannot be read.
%1</translation>
    </message>
    <message>
        <source>The chart file cannot be written.
%1</source>
        <translation>The chart file cannot be written.
%1</translation>
    </message>
    <message>
        <source>this screen</source>
        <translation>this screen</translation>
    </message>
    <message>
        <source>Antenna_Analizer</source>
        <translation>Antenna Analyzer</translation>
    </message>
    <message>
        <source>File</source>
        <translation>File</translation>
    </message>
    <message>
        <source>Open Chart .vna</source>
        <translation>Open Chart .vna</translation>
    </message>
    <message>
        <source>Open Chart .vec</source>
        <translation>Open Chart .vec</translation>
    </message>
    <message>
        <source>Save Chart as</source>
        <translation>Save Chart as</translation>
    </message>
    <message>
        <source>Exit Antenna Analyzer</source>
        <translation>Exit Antenna Analyzer</translation>
    </message>
    <message>
        <source>Parameters</source>
        <translation>Parameters</translation>
    </message>
    <message>
        <source>Compare</source>
        <translation>Compare</translation>
    </message>
    <message>
        <source>This screen in Memory</source>
        <translation>This screen in memory</translation>
    </message>
    <message>
        <source>File in Memory</source>
        <translation>File in Memory</translation>
    </message>
    <message>
        <source>Print</source>
        <translation>Print</translation>
    </message>
    <message>
        <source>PrintScreen</source>
        <translation>Print Screen</translation>
    </message>
    <message>
        <source>About Antenna Analyzer</source>
        <translation>About Antenna Analyzer</translation>
    </message>
    <message>
        <source>Single sweep</source>
        <translation>Single sweep</translation>
    </message>
    <message>
        <source>Continuous sweep</source>
        <translation>Continuous sweep</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>Charts</source>
        <translation>Charts</translation>
    </message>
    <message>
        <source>Signal Generator</source>
        <translation>Signal Generator</translation>
    </message>
    <message>
        <source>ANTENNA ANALYZER</source>
        <translation>ANTENNA ANALYZER</translation>
    </message>
    <message>
        <source>File Name: </source>
        <translation>File Name: </translation>
    </message>
    <message>
        <source>Points</source>
        <translation>Points</translation>
    </message>
    <message>
        <source>Frequency MHz</source>
        <translation>Frequency MHz</translation>
    </message>
    <message>
        <source>Demonstration:</source>
        <translation>Demonstration:</translation>
    </message>
    <message>
        <source>not analysed</source>
        <translation>not analysed</translation>
    </message>
    <message>
        <source>Start Frequency</source>
        <translation>Start frequency</translation>
    </message>
    <message>
        <source>End Frequency</source>
        <translation>Stop frequency</translation>
    </message>
    <message>
        <source>Frequency Axsis Points</source>
        <translation>Frequency axis points</translation>
    </message>
    <message>
        <source>File name</source>
        <translation>File name</translation>
    </message>
    <message>
        <source>MHz</source>
        <translation>MHz</translation>
    </message>
    <message>
        <source>Single</source>
        <translation>Single</translation>
    </message>
    <message>
        <source>Chart Single or Combine</source>
        <translation>Chart Single or Combine</translation>
    </message>
    <message>
        <source>Staring/Stop  Sweep</source>
        <translation>Start/Stop Sweep (F5)</translation>
    </message>
    <message>
        <source>Sweep continous</source>
        <translation>Continuous sweep (Shift+F5)</translation>
    </message>
    <message>
        <source>Progress of the sweep</source>
        <translation>Progress of the sweep</translation>
    </message>
    <message>
        <source>Stop the sweep (Esc)</source>
        <translation>Stop the sweep (Esc)</translation>
    </message>
    <message>
        <source>%1 memory: %2</source>
        <translation>%1 memory: %2</translation>
    </message>
    <message>
        <source>DEMONSTRATION: a built-in simulated measurement, not a sweep</source>
        <translation>DEMONSTRATION: a built-in simulated measurement, not a sweep</translation>
    </message>
    <message>
        <source>the selected quantity</source>
        <translation>the selected quantity</translation>
    </message>
    <message>
        <source>The chart shows no finished measurement to export: sweep or open one first.</source>
        <translation>The chart shows no finished measurement to export: sweep or open one first.</translation>
    </message>
    <message>
        <source>The sign of every point&apos;s reactance is unknown: a Touchstone file would hold no point.</source>
        <translation>The sign of every point&apos;s reactance is unknown: a Touchstone file would hold no point.</translation>
    </message>
    <message>
        <source>Export CSV...</source>
        <translation>Export CSV...</translation>
    </message>
    <message>
        <source>Export Touchstone .s1p...</source>
        <translation>Export Touchstone .s1p...</translation>
    </message>
    <message>
        <source>Smith chart...</source>
        <translation>Smith chart...</translation>
    </message>
    <message>
        <source>The readings show the far end of: %1</source>
        <translation>The readings show the far end of: %1</translation>
    </message>
    <message>
        <source>The readings are shown as measured.</source>
        <translation>The readings are shown as measured.</translation>
    </message>
    <message>
        <source>Antenna</source>
        <translation>Antenna</translation>
    </message>
    <message>
        <source>Matching network...</source>
        <translation>Matching network...</translation>
    </message>
    <message>
        <source>Cable taken out...</source>
        <translation>Cable taken out...</translation>
    </message>
    <message>
        <source>Measure a stub...</source>
        <translation>Measure a stub...</translation>
    </message>
    <message>
        <source>Far end of:</source>
        <translation>Far end of:</translation>
    </message>
    <message>
        <source>Figures:</source>
        <translation>Figures:</translation>
    </message>
    <message>
        <source>checked</source>
        <translation>checked</translation>
    </message>
    <message>
        <source>unchecked</source>
        <translation>unchecked</translation>
    </message>
    <message>
        <source>The check needs the bridge: stop the sweep first.</source>
        <translation>The check needs the bridge: stop the sweep first.</translation>
    </message>
    <message>
        <source>At 0 MHz the generator gives no signal: check the bridge over a span above 0.</source>
        <translation>At 0 MHz the generator gives no signal: check the bridge over a span above 0.</translation>
    </message>
    <message>
        <source>Check the bridge...</source>
        <translation>Check the bridge...</translation>
    </message>
    <message>
        <source>Antenna analyzer, %1 to %2 MHz, %3 points</source>
        <translation>Antenna analyzer, %1 to %2 MHz, %3 points</translation>
    </message>
    <message>
        <source>, bridge figures as checked</source>
        <translation>, bridge figures as checked</translation>
    </message>
    <message>
        <source>, published bridge figures</source>
        <translation>, published bridge figures</translation>
    </message>
    <message>
        <source>, far end of %1</source>
        <translation>, far end of %1</translation>
    </message>
    <message>
        <source>The calibration needs the bridge: stop the sweep first.</source>
        <translation>The calibration needs the bridge: stop the sweep first.</translation>
    </message>
    <message>
        <source>At 0 MHz the generator gives no signal: calibrate the bridge over a span above 0.</source>
        <translation>At 0 MHz the generator gives no signal: calibrate the bridge over a span above 0.</translation>
    </message>
    <message>
        <source>uncorrected</source>
        <translation>uncorrected</translation>
    </message>
    <message>
        <source>Calibrate the bridge...</source>
        <translation>Calibrate the bridge...</translation>
    </message>
    <message>
        <source>There is no measurement to store: sweep first, or open a chart.</source>
        <translation>There is no measurement to store: sweep first, or open a chart.</translation>
    </message>
    <message>
        <source>the analyzer stores .vna charts, its CSV exports and .s1p files.</source>
        <translation>the analyzer stores .vna charts, its CSV exports and .s1p files.</translation>
    </message>
</context>
<context>
    <name>kolm::analyzer::ui::BridgeCalibrationDialog</name>
    <message>
        <source>Calibrate the bridge</source>
        <translation>Calibrate the bridge</translation>
    </message>
    <message>
        <source>Connect each standard to the bridge&apos;s output and measure it, in any order, with the value it actually has. The calibration sweeps %1 to %2 MHz in %3 steps, as the analyzer is set; standards measured over another sweep are measured again.</source>
        <translation>Connect each standard to the bridge&apos;s output and measure it, in any order, with the value it actually has. The calibration sweeps %1 to %2 MHz in %3 steps, as the analyzer is set; standards measured over another sweep are measured again.</translation>
    </message>
    <message>
        <source>On the simulated instrument each button connects its standard first; the load connected before comes back when the dialog closes.</source>
        <translation>On the simulated instrument each button connects its standard first; the load connected before comes back when the dialog closes.</translation>
    </message>
    <message>
        <source>Standard</source>
        <translation>Standard</translation>
    </message>
    <message>
        <source>Value</source>
        <translation>Value</translation>
    </message>
    <message>
        <source>The value it actually has: r=, l=, c= with p n u m k</source>
        <translation>The value it actually has: r=, l=, c= with p n u m k</translation>
    </message>
    <message>
        <source>Connect and measure</source>
        <translation>Connect and measure</translation>
    </message>
    <message>
        <source>Measure</source>
        <translation>Measure</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>Previous calibration</source>
        <translation>Previous calibration</translation>
    </message>
    <message>
        <source>Forget</source>
        <translation>Forget</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>The standards measured earlier cannot be read: measure them again (the file is kept aside when the next one is stored).</source>
        <translation>The standards measured earlier cannot be read: measure them again (the file is kept aside when the next one is stored).</translation>
    </message>
    <message>
        <source>measuring...</source>
        <translation>measuring...</translation>
    </message>
    <message>
        <source>measured</source>
        <translation>measured</translation>
    </message>
    <message>
        <source>not measured</source>
        <translation>not measured</translation>
    </message>
    <message>
        <source>The value of the %1 is not one: %2. Nothing was measured.</source>
        <translation>The value of the %1 is not one: %2. Nothing was measured.</translation>
    </message>
    <message>
        <source>Measuring the %1...</source>
        <translation>Measuring the %1...</translation>
    </message>
    <message>
        <source>Stopped: what the %1 read is not kept.</source>
        <translation>Stopped: what the %1 read is not kept.</translation>
    </message>
    <message>
        <source>The standards measured over another sweep were dropped.</source>
        <translation>The standards measured over another sweep were dropped.</translation>
    </message>
    <message>
        <source>The %1 is measured as %2.</source>
        <translation>The %1 is measured as %2.</translation>
    </message>
    <message>
        <source>Still to measure: %1.</source>
        <translation>Still to measure: %1.</translation>
    </message>
    <message>
        <source>Kept: the calibration of %1. The readings inside its span are corrected from now on. The largest errors left: directivity %2, tracking %3, source match %4, channel A&apos;s slope %5 counts per dB.</source>
        <translation>Kept: the calibration of %1. The readings inside its span are corrected from now on. The largest errors left: directivity %2, tracking %3, source match %4, channel A&apos;s slope %5 counts per dB.</translation>
    </message>
    <message>
        <source>Nothing was stored: the calibration in use is kept.</source>
        <translation>Nothing was stored: the calibration in use is kept.</translation>
    </message>
    <message>
        <source>The previous calibration is in use again; the one it replaced is kept as the previous one (Previous calibration again undoes this).</source>
        <translation>The previous calibration is in use again; the one it replaced is kept as the previous one (Previous calibration again undoes this).</translation>
    </message>
    <message>
        <source>Forgotten: the readings are uncorrected. The calibration is kept as the previous one (Previous calibration brings it back).</source>
        <translation>Forgotten: the readings are uncorrected. The calibration is kept as the previous one (Previous calibration brings it back).</translation>
    </message>
    <message>
        <source>Each standard is averaged over %1 passes, as the analyzer&apos;s Average is set.</source>
        <translation>Each standard is averaged over %1 passes, as the analyzer&apos;s Average is set.</translation>
    </message>
</context>
<context>
    <name>kolm::analyzer::ui::BridgeCheckDialog</name>
    <message>
        <source>Check the bridge</source>
        <translation>Check the bridge</translation>
    </message>
    <message>
        <source>Connect each standard to the bridge&apos;s output and measure it, in any order. The check sweeps %1 to %2 MHz in %3 steps, as the analyzer is set.</source>
        <translation>Connect each standard to the bridge&apos;s output and measure it, in any order. The check sweeps %1 to %2 MHz in %3 steps, as the analyzer is set.</translation>
    </message>
    <message>
        <source>On the simulated instrument, connect them in the Simulator window (load r=50, open, short).</source>
        <translation>On the simulated instrument, connect them in the Simulator window (load r=50, open, short).</translation>
    </message>
    <message>
        <source>Measure the 50 Ω load</source>
        <translation>Measure the 50 Ω load</translation>
    </message>
    <message>
        <source>Measure the open</source>
        <translation>Measure the open</translation>
    </message>
    <message>
        <source>Measure the short</source>
        <translation>Measure the short</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>Use the published figures</source>
        <translation>Use the published figures</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>The readings&apos; intervals use the figures of the last check: directivity %1 dB, tracking %2 dB.</source>
        <translation>The readings&apos; intervals use the figures of the last check: directivity %1 dB, tracking %2 dB.</translation>
    </message>
    <message>
        <source>The readings&apos; intervals use the published figures of such a bridge.</source>
        <translation>The readings&apos; intervals use the published figures of such a bridge.</translation>
    </message>
    <message>
        <source>measuring...</source>
        <translation>measuring...</translation>
    </message>
    <message>
        <source>measured</source>
        <translation>measured</translation>
    </message>
    <message>
        <source>not measured</source>
        <translation>not measured</translation>
    </message>
    <message>
        <source>Stopped: what the %1 read is not kept.</source>
        <translation>Stopped: what the %1 read is not kept.</translation>
    </message>
    <message>
        <source>The %1 is measured.</source>
        <translation>The %1 is measured.</translation>
    </message>
</context>
<context>
    <name>kolm::analyzer::ui::MatchingWindow</name>
    <message>
        <source>Matching network</source>
        <translation>Matching network</translation>
    </message>
    <message>
        <source>the active marker&apos;s</source>
        <translation>the active marker&apos;s</translation>
    </message>
    <message>
        <source>At (MHz)</source>
        <translation>At (MHz)</translation>
    </message>
    <message>
        <source>Match to (ohm)</source>
        <translation>Match to (ohm)</translation>
    </message>
    <message>
        <source>Parts</source>
        <translation>Parts</translation>
    </message>
    <message>
        <source>the active marker&apos;s: %1</source>
        <translation>the active marker&apos;s: %1</translation>
    </message>
    <message>
        <source>Place a marker on the chart, or type a frequency.</source>
        <translation>Place a marker on the chart, or type a frequency.</translation>
    </message>
    <message>
        <source>The resistance to match to is a number of ohms above 0.</source>
        <translation>The resistance to match to is a number of ohms above 0.</translation>
    </message>
    <message>
        <source>Nothing: the load matches</source>
        <translation>Nothing: the load matches</translation>
    </message>
    <message>
        <source>Series %1</source>
        <translation>Series %1</translation>
    </message>
    <message>
        <source>%1 across the load</source>
        <translation>%1 across the load</translation>
    </message>
    <message>
        <source>Series %1, then %2 across the load</source>
        <translation>Series %1, then %2 across the load</translation>
    </message>
    <message>
        <source>%1 across the input, then series %2</source>
        <translation>%1 across the input, then series %2</translation>
    </message>
    <message>
        <source>above 2 at this frequency</source>
        <translation>above 2 at this frequency</translation>
    </message>
    <message>
        <source>%1 to %2 MHz</source>
        <translation>%1 to %2 MHz</translation>
    </message>
    <message>
        <source>Each network from the transmitter towards the load. The parts are then rounded to the chosen series; the table gives the SWR those give at this frequency and the span where the SWR they give with the measured load stays below 2.</source>
        <translation>Each network from the transmitter towards the load. The parts are then rounded to the chosen series; the table gives the SWR those give at this frequency and the span where the SWR they give with the measured load stays below 2.</translation>
    </message>
    <message>
        <source>This frequency cannot be matched: %1.</source>
        <translation>This frequency cannot be matched: %1.</translation>
    </message>
    <message>
        <source>At %1 MHz the load is R %2, X %3</source>
        <translation>At %1 MHz the load is R %2, X %3</translation>
    </message>
    <message>
        <source> (sign inferred).</source>
        <translation> (sign inferred).</translation>
    </message>
    <message>
        <source> (sign unknown: the networks for either sign are given).</source>
        <translation> (sign unknown: the networks for either sign are given).</translation>
    </message>
    <message>
        <source>Schematic</source>
        <translation>Schematic</translation>
    </message>
    <message>
        <source>Network</source>
        <translation>Network</translation>
    </message>
    <message>
        <source>%1 parts</source>
        <translation>%1 parts</translation>
    </message>
    <message>
        <source>SWR with them</source>
        <translation>SWR with them</translation>
    </message>
    <message>
        <source>SWR below 2</source>
        <translation>SWR below 2</translation>
    </message>
    <message>
        <source>If inductive: %1</source>
        <translation>If inductive: %1</translation>
    </message>
    <message>
        <source>If capacitive: %1</source>
        <translation>If capacitive: %1</translation>
    </message>
    <message>
        <source>infinite</source>
        <translation>infinite</translation>
    </message>
    <message>
        <source>the whole sweep</source>
        <translation>the whole sweep</translation>
    </message>
    <message>
        <source>the sweep&apos;s start</source>
        <translation>the sweep&apos;s start</translation>
    </message>
    <message>
        <source>the sweep&apos;s end</source>
        <translation>the sweep&apos;s end</translation>
    </message>
    <message>
        <source>a point without a reading</source>
        <translation>a point without a reading</translation>
    </message>
    <message>
        <source>%1 to %2</source>
        <translation>%1 to %2</translation>
    </message>
    <message>
        <source>%1 MHz</source>
        <translation>%1 MHz</translation>
    </message>
    <message>
        <source>%1 (%2)</source>
        <translation>%1 (%2)</translation>
    </message>
</context>
<context>
    <name>kolm::analyzer::ui::SmithWindow</name>
    <message>
        <source>Smith chart</source>
        <translation>Smith chart</translation>
    </message>
    <message>
        <source>Smith chart (impedance)</source>
        <translation>Smith chart (impedance)</translation>
    </message>
    <message>
        <source>Polar chart (reflection coefficient)</source>
        <translation>Polar chart (reflection coefficient)</translation>
    </message>
    <message>
        <source>Export picture...</source>
        <translation>Export picture...</translation>
    </message>
    <message>
        <source>Print</source>
        <translation>Print</translation>
    </message>
    <message>
        <source>Whole chart</source>
        <translation>Whole chart</translation>
    </message>
    <message>
        <source>Drag to zoom, wheel to zoom about the pointer, double-click for the whole chart.</source>
        <translation>Drag to zoom, wheel to zoom about the pointer, double-click for the whole chart.</translation>
    </message>
    <message>
        <source>live sweep</source>
        <translation>live sweep</translation>
    </message>
    <message>
        <source>memory (dashed)</source>
        <translation>memory (dashed)</translation>
    </message>
    <message>
        <source>Export picture</source>
        <translation>Export picture</translation>
    </message>
</context>
<context>
    <name>kolm::app::Launcher</name>
    <message>
        <source>MULTIFUNCTIONS INSTRUMENT</source>
        <translation>Multifunction Instrument</translation>
    </message>
    <message>
        <source>About_KOLM</source>
        <translation>About Kolm</translation>
    </message>
    <message>
        <source>Parameters</source>
        <translation>Parameters</translation>
    </message>
    <message>
        <source>Simulator</source>
        <translation>Simulator</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>Language</translation>
    </message>
    <message>
        <source>Original texts</source>
        <translation>Original texts</translation>
    </message>
    <message>
        <source>English</source>
        <translation>English</translation>
    </message>
    <message>
        <source>KOLM MAIN MENU</source>
        <translation>KOLM MAIN MENU</translation>
    </message>
    <message>
        <source>DIGITAL VFO</source>
        <translation>DIGITAL VFO</translation>
    </message>
    <message>
        <source>Launch Digital VFO</source>
        <translation>Launch Digital VFO</translation>
    </message>
    <message>
        <source>Power Meter</source>
        <translation>Power Meter</translation>
    </message>
    <message>
        <source>Launch Power Meter</source>
        <translation>Launch Power Meter</translation>
    </message>
    <message>
        <source>Antenna Analyzer</source>
        <translation>Antenna Analyzer</translation>
    </message>
    <message>
        <source>Launch Antenna Analyzer</source>
        <translation>Launch Antenna Analyzer</translation>
    </message>
    <message>
        <source>EXIT PROGRAM</source>
        <translation>EXIT PROGRAM</translation>
    </message>
    <message>
        <source>Exit from Program</source>
        <translation>Exit from Program</translation>
    </message>
    <message>
        <source>The language is kept and takes effect when the program is started again.</source>
        <translation>The language is kept and takes effect when the program is started again.</translation>
    </message>
    <message>
        <source>it is not in the form of an INI file</source>
        <translation>it is not in the form of an INI file</translation>
    </message>
    <message>
        <source>The port could not be opened; nothing is sent to the instrument until a port that opens is chosen here (or the simulated instrument).</source>
        <translation>The port could not be opened; nothing is sent to the instrument until a port that opens is chosen here (or the simulated instrument).</translation>
    </message>
</context>
<context>
    <name>kolm::app::ParametersWindow</name>
    <message>
        <source>DDS_VFO &amp; Power_Meter &amp; Antenna_Analyzer Parameters</source>
        <translation>DDS VFO, Power Meter and Antenna Analyzer Parameters</translation>
    </message>
    <message>
        <source>LPT Port Command Address</source>
        <translation>LPT Port Command Address</translation>
    </message>
    <message>
        <source>LPT1 : HEX378</source>
        <translation>LPT1 : HEX378</translation>
    </message>
    <message>
        <source>LPT2 : HEX278</source>
        <translation>LPT2 : HEX278</translation>
    </message>
    <message>
        <source>LPT3 : HEX3BC</source>
        <translation>LPT3 : HEX3BC</translation>
    </message>
    <message>
        <source>RefClk Multiplier</source>
        <translation>RefClk multiplier</translation>
    </message>
    <message>
        <source>Fr Quartz in MHz</source>
        <translation>Quartz frequency in MHz</translation>
    </message>
    <message>
        <source>Multiply factor</source>
        <translation>Multiply factor</translation>
    </message>
    <message>
        <source>ref Clock</source>
        <translation>Ref clock</translation>
    </message>
    <message>
        <source>MHz</source>
        <translation>MHz</translation>
    </message>
    <message>
        <source>Port access</source>
        <translation>Port access</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Port test</source>
        <translation>Port test</translation>
    </message>
    <message>
        <source>Checks that the port opens and that the detector and the bridge answer</source>
        <translation>Checks that the port opens and that the detector and the bridge answer</translation>
    </message>
    <message>
        <source>Filled in with the simulated board&apos;s values (%1 MHz x %2): OK makes it ready.</source>
        <translation>Filled in with the simulated board&apos;s values (%1 MHz x %2): OK makes it ready.</translation>
    </message>
    <message>
        <source>Clock tolerance</source>
        <translation>Clock tolerance</translation>
    </message>
    <message>
        <source>How far the DDS clock may lie from its nominal frequency, in ppm (0 to %1): every crystal frequency measured carries it. A clock measured against a counter or a known crystal (kolm-cli clock) states its own.</source>
        <translation>How far the DDS clock may lie from its nominal frequency, in ppm (0 to %1): every crystal frequency measured carries it. A clock measured against a counter or a known crystal (kolm-cli clock) states its own.</translation>
    </message>
    <message>
        <source>ppm</source>
        <translation>ppm</translation>
    </message>
    <message>
        <source>Measured: the clock runs %1 ppm off its nominal frequency (taken into account); a tolerance typed here replaces the measurement.</source>
        <translation>Measured: the clock runs %1 ppm off its nominal frequency (taken into account); a tolerance typed here replaces the measurement.</translation>
    </message>
</context>
<context>
    <name>kolm::chart::ui::AnalysisPanel</name>
    <message>
        <source>Analysis</source>
        <translation>Analysis</translation>
    </message>
</context>
<context>
    <name>kolm::chart::ui::DiskChart</name>
    <message>
        <source>dimmed: a marked or uncertain point; a point of unknown reactance sign is drawn at both signs</source>
        <translation>dimmed: a marked or uncertain point; a point of unknown reactance sign is drawn at both signs</translation>
    </message>
</context>
<context>
    <name>kolm::chart::ui::PassLog</name>
    <message>
        <source>Log passes to a file...</source>
        <translation>Log passes to a file...</translation>
    </message>
    <message>
        <source>Log passes</source>
        <translation>Log passes</translation>
    </message>
    <message>
        <source>Log the active marker only</source>
        <translation>Log the active marker only</translation>
    </message>
    <message>
        <source>Strip chart...</source>
        <translation>Strip chart...</translation>
    </message>
    <message>
        <source>A log is a .csv or a .ndjson file; nothing was logged.</source>
        <translation>A log is a .csv or a .ndjson file; nothing was logged.</translation>
    </message>
    <message>
        <source>The log was not started: %1</source>
        <translation>The log was not started: %1</translation>
    </message>
    <message>
        <source>The log stopped: %1. It holds every pass before this one whole.</source>
        <translation>The log stopped: %1. It holds every pass before this one whole.</translation>
    </message>
</context>
<context>
    <name>kolm::chart::ui::SessionCommands</name>
    <message>
        <source>Save session...</source>
        <translation>Save session...</translation>
    </message>
    <message>
        <source>Open session...</source>
        <translation>Open session...</translation>
    </message>
    <message>
        <source>Reopen last session at start</source>
        <translation>Reopen last session at start</translation>
    </message>
    <message>
        <source>Save session</source>
        <translation>Save session</translation>
    </message>
    <message>
        <source>A note kept with the session (it may stay empty):</source>
        <translation>A note kept with the session (it may stay empty):</translation>
    </message>
    <message>
        <source>The session was not saved: %1</source>
        <translation>The session was not saved: %1</translation>
    </message>
    <message>
        <source>Open session</source>
        <translation>Open session</translation>
    </message>
    <message>
        <source>The session was not opened: %1. Nothing of it was used.</source>
        <translation>The session was not opened: %1. Nothing of it was used.</translation>
    </message>
    <message>
        <source>The session was opened, but %1: its readings are computed with the calibration in use now.</source>
        <translation>The session was opened, but %1: its readings are computed with the calibration in use now.</translation>
    </message>
</context>
<context>
    <name>kolm::chart::ui::StripChart</name>
    <message>
        <source>Strip chart</source>
        <translation>Strip chart</translation>
    </message>
    <message>
        <source>%1 at %2 MHz</source>
        <translation>%1 at %2 MHz</translation>
    </message>
    <message>
        <source>Active marker</source>
        <translation>Active marker</translation>
    </message>
    <message>
        <source>Marker %1</source>
        <translation>Marker %1</translation>
    </message>
</context>
<context>
    <name>kolm::chart::ui::SweepChart</name>
    <message>
        <source>Zoom back</source>
        <translation>Zoom back</translation>
    </message>
    <message>
        <source>Zoom forward</source>
        <translation>Zoom forward</translation>
    </message>
    <message>
        <source>Whole span (double-click)</source>
        <translation>Whole span (double-click)</translation>
    </message>
    <message>
        <source>Remove the active marker</source>
        <translation>Remove the active marker</translation>
    </message>
</context>
<context>
    <name>kolm::chart::ui::TraceList</name>
    <message>
        <source>Stored traces</source>
        <translation>Stored traces</translation>
    </message>
    <message>
        <source>Store trace</source>
        <translation>Store trace</translation>
    </message>
    <message>
        <source>Difference</source>
        <translation>Difference</translation>
    </message>
    <message>
        <source>Ratio</source>
        <translation>Ratio</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>Remove</translation>
    </message>
    <message>
        <source>Limit mask...</source>
        <translation>Limit mask...</translation>
    </message>
    <message>
        <source>trace %1</source>
        <translation>trace %1</translation>
    </message>
    <message>
        <source>Choose two stored traces: the first less (or over) the second.</source>
        <translation>Choose two stored traces: the first less (or over) the second.</translation>
    </message>
    <message>
        <source>Limit mask</source>
        <translation>Limit mask</translation>
    </message>
    <message>
        <source>The limit mask was not opened: %1 The mask in use stays.</source>
        <translation>The limit mask was not opened: %1 The mask in use stays.</translation>
    </message>
    <message>
        <source>fail: %1 of %2 points</source>
        <translation>fail: %1 of %2 points</translation>
    </message>
    <message>
        <source>indeterminate: %1 of %2 points</source>
        <translation>indeterminate: %1 of %2 points</translation>
    </message>
    <message>
        <source>Limits (%1):</source>
        <translation>Limits (%1):</translation>
    </message>
    <message>
        <source>%1 was not added: %2</source>
        <translation>%1 was not added: %2</translation>
    </message>
    <message>
        <source>Min/max hold</source>
        <translation>Min/max hold</translation>
    </message>
    <message numerus="yes">
        <source>%n passes</source>
        <translation>
            <numerusform>%n pass</numerusform>
            <numerusform>%n passes</numerusform>
        </translation>
    </message>
    <message>
        <source>max hold</source>
        <translation>max hold</translation>
    </message>
    <message>
        <source>min hold</source>
        <translation>min hold</translation>
    </message>
    <message>
        <source>Complex difference</source>
        <translation>Complex difference</translation>
    </message>
    <message>
        <source>How far apart the two loads&apos; reflections lie (the size of their difference), with its interval</source>
        <translation>How far apart the two loads&apos; reflections lie (the size of their difference), with its interval</translation>
    </message>
</context>
<context>
    <name>kolm::common::ui::RecentFiles</name>
    <message>
        <source>Recent files</source>
        <translation>Recent files</translation>
    </message>
</context>
<context>
    <name>kolm::powermeter::ui::CrystalBatchWindow</name>
    <message>
        <source>none</source>
        <translation>none</translation>
    </message>
    <message>
        <source>Crystal batch</source>
        <translation>Crystal batch</translation>
    </message>
    <message>
        <source>Label of the next crystal:</source>
        <translation>Label of the next crystal:</translation>
    </message>
    <message>
        <source>Any name for the crystal in the fixture (no commas); empty: its number names it.</source>
        <translation>Any name for the crystal in the fixture (no commas); empty: its number names it.</translation>
    </message>
    <message>
        <source>Measure crystal</source>
        <translation>Measure crystal</translation>
    </message>
    <message>
        <source>No.</source>
        <translation>No.</translation>
    </message>
    <message>
        <source>Label</source>
        <translation>Label</translation>
    </message>
    <message>
        <source>Fs (MHz)</source>
        <translation>Fs (MHz)</translation>
    </message>
    <message>
        <source>Fp (MHz)</source>
        <translation>Fp (MHz)</translation>
    </message>
    <message>
        <source>R (Ω)</source>
        <translation>R (Ω)</translation>
    </message>
    <message>
        <source>L (mH)</source>
        <translation>L (mH)</translation>
    </message>
    <message>
        <source>Cs (fF)</source>
        <translation>Cs (fF)</translation>
    </message>
    <message>
        <source>C0 (pF)</source>
        <translation>C0 (pF)</translation>
    </message>
    <message>
        <source>Q</source>
        <translation>Q</translation>
    </message>
    <message>
        <source>Warnings</source>
        <translation>Warnings</translation>
    </message>
    <message>
        <source>Matching for a ladder filter</source>
        <translation>Matching for a ladder filter</translation>
    </message>
    <message>
        <source>Crystals per group:</source>
        <translation>Crystals per group:</translation>
    </message>
    <message>
        <source>Fs within:</source>
        <translation>Fs within:</translation>
    </message>
    <message>
        <source>R within:</source>
        <translation>R within:</translation>
    </message>
    <message>
        <source>Match</source>
        <translation>Match</translation>
    </message>
    <message>
        <source>Open...</source>
        <translation>Open...</translation>
    </message>
    <message>
        <source>Save...</source>
        <translation>Save...</translation>
    </message>
    <message>
        <source>Remove crystal</source>
        <translation>Remove crystal</translation>
    </message>
    <message>
        <source>Measuring...</source>
        <translation>Measuring...</translation>
    </message>
    <message>
        <source>The sweep did not run to its end: nothing was added.</source>
        <translation>The sweep did not run to its end: nothing was added.</translation>
    </message>
    <message>
        <source>The power meter is busy: nothing was measured.</source>
        <translation>The power meter is busy: nothing was measured.</translation>
    </message>
    <message>
        <source>Not added: %1</source>
        <translation>Not added: %1</translation>
    </message>
    <message>
        <source>Crystal %1 added.</source>
        <translation>Crystal %1 added.</translation>
    </message>
    <message>
        <source>No group of %1 crystals within these tolerances.</source>
        <translation>No group of %1 crystals within these tolerances.</translation>
    </message>
    <message numerus="yes">
        <source>%n group(s) found.</source>
        <translation>
            <numerusform>%n group found.</numerusform>
            <numerusform>%n groups found.</numerusform>
        </translation>
    </message>
    <message>
        <source>Save crystal batch</source>
        <translation>Save crystal batch</translation>
    </message>
    <message>
        <source>Saved to %1.</source>
        <translation>Saved to %1.</translation>
    </message>
    <message>
        <source>The crystals measured here are not saved. Open another batch anyway?</source>
        <translation>The crystals measured here are not saved. Open another batch anyway?</translation>
    </message>
    <message>
        <source>Open crystal batch</source>
        <translation>Open crystal batch</translation>
    </message>
    <message>
        <source>%1 crystals read from %2.</source>
        <translation>%1 crystals read from %2.</translation>
    </message>
    <message>
        <source>The crystals measured here are not saved. Close the batch anyway?</source>
        <translation>The crystals measured here are not saved. Close the batch anyway?</translation>
    </message>
    <message>
        <source>Spread over %1 passes: %2</source>
        <translation>Spread over %1 passes: %2</translation>
    </message>
    <message>
        <source>Sweeps with the power meter&apos;s span and points (Repeat times), fitted as Quarzo does, added as the next row.</source>
        <translation>Sweeps with the power meter&apos;s span and points (Repeat times), each analysed as by Measure crystal, added as the next row.</translation>
    </message>
    <message>
        <source>Repeat</source>
        <translation>Repeat</translation>
    </message>
    <message>
        <source>Passes per crystal: each is fitted, the values averaged and their spread kept.</source>
        <translation>Passes per crystal: each is fitted, the values averaged and their spread kept.</translation>
    </message>
    <message>
        <source>Group</source>
        <translation>Group</translation>
    </message>
    <message>
        <source>Measuring, pass %1 of %2...</source>
        <translation>Measuring, pass %1 of %2...</translation>
    </message>
    <message>
        <source>The power meter is busy: nothing was added.</source>
        <translation>The power meter is busy: nothing was added.</translation>
    </message>
    <message numerus="yes">
        <source>The tolerance lies below what the measurement resolves (twice the Fs interval or the sweep step) for %n crystal(s): groups within it cannot be told apart.</source>
        <translation>
            <numerusform>The tolerance lies below what the measurement resolves (twice the Fs interval or the sweep step) for %n crystal: groups within it cannot be told apart.</numerusform>
            <numerusform>The tolerance lies below what the measurement resolves (twice the Fs interval or the sweep step) for %n crystals: groups within it cannot be told apart.</numerusform>
        </translation>
    </message>
    <message>
        <source>not fitted</source>
        <translation>not fitted</translation>
    </message>
    <message>
        <source>see note</source>
        <translation>see note</translation>
    </message>
    <message>
        <source>Group %1: Fs spread %2 Hz (at most %3 Hz), R spread %4 %: %5</source>
        <translation>Group %1: Fs spread %2 Hz (at most %3 Hz), R spread %4 %: %5</translation>
    </message>
    <message>
        <source>Verdict</source>
        <translation>Verdict</translation>
    </message>
    <message>
        <source>Sorting against limits</source>
        <translation>Sorting against limits</translation>
    </message>
    <message>
        <source>Fs from</source>
        <translation>Fs from</translation>
    </message>
    <message>
        <source>The lowest series resonance, MHz.</source>
        <translation>The lowest series resonance, MHz.</translation>
    </message>
    <message>
        <source>to</source>
        <translation>to</translation>
    </message>
    <message>
        <source>The highest series resonance, MHz.</source>
        <translation>The highest series resonance, MHz.</translation>
    </message>
    <message>
        <source>R at most</source>
        <translation>R at most</translation>
    </message>
    <message>
        <source>The highest motional resistance, ohm.</source>
        <translation>The highest motional resistance, ohm.</translation>
    </message>
    <message>
        <source>Q at least</source>
        <translation>Q at least</translation>
    </message>
    <message>
        <source>The lowest unloaded Q.</source>
        <translation>The lowest unloaded Q.</translation>
    </message>
    <message>
        <source>Sort</source>
        <translation>Sort</translation>
    </message>
    <message>
        <source>Each crystal passes when its whole interval meets every limit, fails when an interval lies wholly beyond one, and is indeterminate when an interval straddles a limit. Empty boxes: no limit; all empty clears the verdicts.</source>
        <translation>Each crystal passes when its whole interval meets every limit, fails when an interval lies wholly beyond one, and is indeterminate when an interval straddles a limit. Empty boxes: no limit; all empty clears the verdicts.</translation>
    </message>
    <message>
        <source>No limits: the verdicts are cleared.</source>
        <translation>No limits: the verdicts are cleared.</translation>
    </message>
    <message>
        <source>Sorted: %1 pass, %2 fail, %3 indeterminate.</source>
        <translation>Sorted: %1 pass, %2 fail, %3 indeterminate.</translation>
    </message>
    <message>
        <source>At a load of %1 pF.</source>
        <translation>At a load of %1 pF.</translation>
    </message>
    <message>
        <source>Fl at</source>
        <translation>Fl at</translation>
    </message>
    <message>
        <source>pF</source>
        <translation>pF</translation>
    </message>
    <message>
        <source>Fl (MHz)</source>
        <translation>Fl (MHz)</translation>
    </message>
    <message>
        <source>%1 crystals read from %2, sorted again against the limits here (not saved yet).</source>
        <translation>%1 crystals read from %2, sorted again against the limits here (not saved yet).</translation>
    </message>
    <message>
        <source>The load capacitance, pF, each crystal&apos;s load resonance Fl is given at; empty: none.</source>
        <translation>The load capacitance, pF, each crystal&apos;s load resonance Fl is given at; empty: none.</translation>
    </message>
</context>
<context>
    <name>kolm::powermeter::ui::LadderWindow</name>
    <message>
        <source>none</source>
        <translation>none</translation>
    </message>
    <message>
        <source>Ladder filter</source>
        <translation>Ladder filter</translation>
    </message>
    <message>
        <source>Crystals</source>
        <translation>Crystals</translation>
    </message>
    <message>
        <source>No batch yet.</source>
        <translation>No batch yet.</translation>
    </message>
    <message>
        <source>From the batch window</source>
        <translation>From the batch window</translation>
    </message>
    <message>
        <source>Open batch...</source>
        <translation>Open batch...</translation>
    </message>
    <message>
        <source>Group:</source>
        <translation>Group:</translation>
    </message>
    <message>
        <source>A group the batch window&apos;s Match (or crystal-match) formed.</source>
        <translation>A group the batch window&apos;s Match (or crystal-match) formed.</translation>
    </message>
    <message>
        <source>or crystals:</source>
        <translation>or crystals:</translation>
    </message>
    <message>
        <source>labels or numbers, with commas</source>
        <translation>labels or numbers, with commas</translation>
    </message>
    <message>
        <source>When filled, these crystals in this order instead of the group.</source>
        <translation>When filled, these crystals in this order instead of the group.</translation>
    </message>
    <message>
        <source>Filter</source>
        <translation>Filter</translation>
    </message>
    <message>
        <source>-3 dB bandwidth:</source>
        <translation>-3 dB bandwidth:</translation>
    </message>
    <message>
        <source>Shape:</source>
        <translation>Shape:</translation>
    </message>
    <message>
        <source>Cohn (equal capacitors)</source>
        <translation>Cohn (equal capacitors)</translation>
    </message>
    <message>
        <source>Butterworth</source>
        <translation>Butterworth</translation>
    </message>
    <message>
        <source>Chebyshev</source>
        <translation>Chebyshev</translation>
    </message>
    <message>
        <source>The Chebyshev shape&apos;s passband ripple.</source>
        <translation>The Chebyshev shape&apos;s passband ripple.</translation>
    </message>
    <message>
        <source>Termination:</source>
        <translation>Termination:</translation>
    </message>
    <message>
        <source>Unticked: the termination the design needs.</source>
        <translation>Unticked: the termination the design needs.</translation>
    </message>
    <message>
        <source>Design</source>
        <translation>Design</translation>
    </message>
    <message>
        <source>Parts built:</source>
        <translation>Parts built:</translation>
    </message>
    <message>
        <source>as designed</source>
        <translation>as designed</translation>
    </message>
    <message>
        <source>E12</source>
        <translation>E12</translation>
    </message>
    <message>
        <source>E24</source>
        <translation>E24</translation>
    </message>
    <message>
        <source>The parts the prediction on the power meter and the saved design use.</source>
        <translation>The parts the prediction on the power meter and the saved design use.</translation>
    </message>
    <message>
        <source>Prediction to the power meter</source>
        <translation>Prediction to the power meter</translation>
    </message>
    <message>
        <source>Sets the power meter&apos;s span around the filter and puts the predicted response in its memory (dashed): sweep the built filter to compare.</source>
        <translation>Sets the power meter&apos;s span around the filter and puts the predicted response in its memory (dashed): sweep the built filter to compare.</translation>
    </message>
    <message>
        <source>Save design...</source>
        <translation>Save design...</translation>
    </message>
    <message>
        <source>Part or figure</source>
        <translation>Part or figure</translation>
    </message>
    <message>
        <source>Designed</source>
        <translation>Designed</translation>
    </message>
    <message>
        <source>The batch window</source>
        <translation>The batch window</translation>
    </message>
    <message>
        <source>Open crystal batch</source>
        <translation>Open crystal batch</translation>
    </message>
    <message>
        <source>No crystal %1 in the batch.</source>
        <translation>No crystal %1 in the batch.</translation>
    </message>
    <message>
        <source>Crystal %1 has no L: measure it again with its -3 dB points in the sweep.</source>
        <translation>Crystal %1 has no L: measure it again with its -3 dB points in the sweep.</translation>
    </message>
    <message>
        <source>Group %1 has no crystals: match the batch first, or name the crystals.</source>
        <translation>Group %1 has no crystals: match the batch first, or name the crystals.</translation>
    </message>
    <message>
        <source>Designed.</source>
        <translation>Designed.</translation>
    </message>
    <message>
        <source>Crystals in order</source>
        <translation>Crystals in order</translation>
    </message>
    <message>
        <source>r_term (Ω)</source>
        <translation>Terminating R (Ω)</translation>
    </message>
    <message>
        <source>Centre (MHz)</source>
        <translation>Centre (MHz)</translation>
    </message>
    <message>
        <source>-3 dB width (Hz)</source>
        <translation>-3 dB width (Hz)</translation>
    </message>
    <message>
        <source>-6 dB width (Hz)</source>
        <translation>-6 dB width (Hz)</translation>
    </message>
    <message>
        <source>-60 dB width (Hz)</source>
        <translation>-60 dB width (Hz)</translation>
    </message>
    <message>
        <source>Ripple (dB)</source>
        <translation>Ripple (dB)</translation>
    </message>
    <message>
        <source>Insertion loss (dB)</source>
        <translation>Insertion loss (dB)</translation>
    </message>
    <message>
        <source>Shape factor 60/6 dB</source>
        <translation>Shape factor 60/6 dB</translation>
    </message>
    <message>
        <source>predicted (%1)</source>
        <translation>predicted (%1)</translation>
    </message>
    <message>
        <source>The prediction is in the power meter&apos;s memory: sweep the built filter there to compare.</source>
        <translation>The prediction is in the power meter&apos;s memory: sweep the built filter there to compare.</translation>
    </message>
    <message>
        <source>Save ladder filter design</source>
        <translation>Save ladder filter design</translation>
    </message>
    <message>
        <source>Saved to %1 (the simulator builds it as --dut ladder:FILE).</source>
        <translation>Saved to %1 (the simulator builds it as --dut ladder:FILE).</translation>
    </message>
    <message>
        <source>%1: %2, %3.</source>
        <translation>%1: %2, %3.</translation>
    </message>
    <message>
        <source>1 crystal</source>
        <translation>1 crystal</translation>
    </message>
    <message>
        <source>%1 crystals</source>
        <translation>%1 crystals</translation>
    </message>
    <message>
        <source>1 group</source>
        <translation>1 group</translation>
    </message>
    <message>
        <source>%1 groups</source>
        <translation>%1 groups</translation>
    </message>
    <message>
        <source>not known</source>
        <translation>not known</translation>
    </message>
    <message>
        <source>Centre spread (Hz)</source>
        <translation>Centre spread (Hz)</translation>
    </message>
    <message>
        <source>-3 dB width spread (Hz)</source>
        <translation>-3 dB width spread (Hz)</translation>
    </message>
    <message>
        <source>Ripple spread (dB)</source>
        <translation>Ripple spread (dB)</translation>
    </message>
    <message>
        <source>Insertion loss spread (dB)</source>
        <translation>Insertion loss spread (dB)</translation>
    </message>
    <message>
        <source>, shaded: within the crystals&apos; intervals</source>
        <translation>, shaded: within the crystals&apos; intervals</translation>
    </message>
    <message>
        <source>, spread not known (a crystal without its intervals)</source>
        <translation>, spread not known (a crystal without its intervals)</translation>
    </message>
</context>
<context>
    <name>kolm::powermeter::ui::PowerMeterWindow</name>
    <message>
        <source>The reference level was stopped before its end: level.rif and the reference in use were not changed.</source>
        <translation>The reference level was stopped before its end: level.rif and the reference in use were not changed.</translation>
    </message>
    <message>
        <source>The reference level was measured but level.rif could not be written: %1</source>
        <translation>The reference level was measured but level.rif could not be written: %1</translation>
    </message>
    <message>
        <source>Reference level stored in level.rif.</source>
        <translation>Reference level stored in level.rif.</translation>
    </message>
    <message>
        <source>The crystal calibration was stopped before its end: Quartz.rif and the reference in use were not changed.</source>
        <translation>The crystal calibration was stopped before its end: Quartz.rif and the reference in use were not changed.</translation>
    </message>
    <message>
        <source>The crystal fixture was measured but Quartz.rif could not be written: %1</source>
        <translation>The crystal fixture was measured but Quartz.rif could not be written: %1</translation>
    </message>
    <message>
        <source>The chart %1 was not opened: %2 Nothing was changed.</source>
        <translation>The chart %1 was not opened: %2 Nothing was changed.</translation>
    </message>
    <message>
        <source>There is no chart to save yet: run a sweep or open a chart first.</source>
        <translation>There is no chart to save yet: run a sweep or open a chart first.</translation>
    </message>
    <message>
        <source>The chart could not be saved as %1: %2 An earlier file of that name is left as it was.</source>
        <translation>The chart could not be saved as %1: %2 An earlier file of that name is left as it was.</translation>
    </message>
    <message>
        <source>The chart %1 was not put in memory: %2 The memory trace was not changed.</source>
        <translation>The chart %1 was not put in memory: %2 The memory trace was not changed.</translation>
    </message>
    <message>
        <source>Power Meter Sweep</source>
        <translation>Power Meter Sweep</translation>
    </message>
    <message>
        <source>File</source>
        <translation>File</translation>
    </message>
    <message>
        <source>Open Chart</source>
        <translation>Open Chart</translation>
    </message>
    <message>
        <source>Save Chart as</source>
        <translation>Save Chart as</translation>
    </message>
    <message>
        <source>Exi Power Meter</source>
        <translation>Exit Power Meter</translation>
    </message>
    <message>
        <source>Parameters</source>
        <translation>Parameters</translation>
    </message>
    <message>
        <source>Compare</source>
        <translation>Compare</translation>
    </message>
    <message>
        <source>This Chart in memory</source>
        <translation>This Chart in memory</translation>
    </message>
    <message>
        <source>File in memory</source>
        <translation>File in memory</translation>
    </message>
    <message>
        <source>Reference_Level</source>
        <translation>Reference Level</translation>
    </message>
    <message>
        <source>Print</source>
        <translation>Print</translation>
    </message>
    <message>
        <source>Print_Screen</source>
        <translation>Print Screen</translation>
    </message>
    <message>
        <source>About_Power_Meter</source>
        <translation>About Power Meter</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>Stop the sweep or the reference measurement (Esc)</source>
        <translation>Stop the sweep or the reference measurement (Esc)</translation>
    </message>
    <message>
        <source>Single sweep</source>
        <translation>Single sweep</translation>
    </message>
    <message>
        <source>Continuous sweep</source>
        <translation>Continuous sweep</translation>
    </message>
    <message>
        <source>POWER METER SWEEP</source>
        <translation>POWER METER SWEEP</translation>
    </message>
    <message>
        <source>File name</source>
        <translation>File name</translation>
    </message>
    <message>
        <source>Delay</source>
        <translation>Delay</translation>
    </message>
    <message>
        <source>Delay in msec</source>
        <translation>Delay in msec</translation>
    </message>
    <message>
        <source>0</source>
        <translation>0</translation>
    </message>
    <message>
        <source>Points</source>
        <translation>Points</translation>
    </message>
    <message>
        <source>Frequency Axsis Points</source>
        <translation>Frequency Axis Points</translation>
    </message>
    <message>
        <source>Level at the top, dBm</source>
        <translation>Level at the top, dBm</translation>
    </message>
    <message>
        <source>Level at the bottom, dBm</source>
        <translation>Level at the bottom, dBm</translation>
    </message>
    <message>
        <source>Cursor: MHz and dBm</source>
        <translation>Cursor: MHz and dBm</translation>
    </message>
    <message>
        <source>The traces&apos; levels at the cursor</source>
        <translation>The traces&apos; levels at the cursor</translation>
    </message>
    <message>
        <source>Signal Generator</source>
        <translation>Signal Generator</translation>
    </message>
    <message>
        <source>Start frequency, MHz</source>
        <translation>Start frequency, MHz</translation>
    </message>
    <message>
        <source>Start&lt;----------MHz---------&gt;Stop</source>
        <translation>Start&lt;----------MHz---------&gt;Stop</translation>
    </message>
    <message>
        <source>Stop frequency, MHz</source>
        <translation>Stop frequency, MHz</translation>
    </message>
    <message>
        <source>Single sweep (F5)</source>
        <translation>Single sweep (F5)</translation>
    </message>
    <message>
        <source>Continuous sweep (Shift+F5)</source>
        <translation>Continuous sweep (Shift+F5)</translation>
    </message>
    <message>
        <source>Screen</source>
        <translation>Screen</translation>
    </message>
    <message>
        <source>trace: %1</source>
        <translation>trace: %1</translation>
    </message>
    <message>
        <source>trace</source>
        <translation>trace</translation>
    </message>
    <message>
        <source>memory: %1</source>
        <translation>memory: %1</translation>
    </message>
    <message>
        <source>reference level (level.rif)</source>
        <translation>reference level (level.rif)</translation>
    </message>
    <message>
        <source>stored reference level</source>
        <translation>stored reference level</translation>
    </message>
    <message>
        <source>crystal through path (Quartz.rif)</source>
        <translation>crystal through path (Quartz.rif)</translation>
    </message>
    <message>
        <source>this chart</source>
        <translation>this chart</translation>
    </message>
    <message>
        <source>Crystal batch</source>
        <translation>Crystal batch</translation>
    </message>
    <message>
        <source>level</source>
        <translation>level</translation>
    </message>
    <message>
        <source>Export CSV...</source>
        <translation>Export CSV...</translation>
    </message>
    <message>
        <source>There is no whole trace to export yet.</source>
        <translation>There is no whole trace to export yet.</translation>
    </message>
    <message>
        <source>Levels relative to level.rif</source>
        <translation>Levels relative to level.rif</translation>
    </message>
    <message>
        <source>There is no level reference (level.rif) yet: measure it with Reference_Level first.</source>
        <translation>There is no level reference (level.rif) yet: measure it with Reference Level first.</translation>
    </message>
    <message>
        <source> (relative)</source>
        <translation> (relative)</translation>
    </message>
    <message>
        <source>Ladder filter</source>
        <translation>Ladder filter</translation>
    </message>
    <message>
        <source>Restore the previous calibration (%1 counts at 0 dBm, %2 at -60 dBm)? The one in use (%3 and %4) is kept in its place.</source>
        <translation>Restore the previous calibration (%1 counts at 0 dBm, %2 at -60 dBm)? The one in use (%3 and %4) is kept in its place.</translation>
    </message>
    <message>
        <source>Calibration frequency</source>
        <translation>Calibration frequency</translation>
    </message>
    <message>
        <source>The generator&apos;s frequency for the 0 dBm and -60 dBm calibrations, MHz (10 MHz unless you choose another):</source>
        <translation>The generator&apos;s frequency for the 0 dBm and -60 dBm calibrations, MHz (10 MHz unless you choose another):</translation>
    </message>
    <message>
        <source>The calibration frequency was not changed.</source>
        <translation>The calibration frequency was not changed.</translation>
    </message>
    <message>
        <source>Previous calibration</source>
        <translation>Previous calibration</translation>
    </message>
    <message>
        <source>Calibration frequency...</source>
        <translation>Calibration frequency...</translation>
    </message>
    <message>
        <source>Power meter, %1 to %2 MHz, %3 points</source>
        <translation>Power meter, %1 to %2 MHz, %3 points</translation>
    </message>
    <message>
        <source>, default calibration (levels approximate)</source>
        <translation>, default calibration (levels approximate)</translation>
    </message>
    <message>
        <source>, calibrated: count %1 at 0 dBm, %2 at -60 dBm</source>
        <translation>, calibrated: count %1 at 0 dBm, %2 at -60 dBm</translation>
    </message>
    <message>
        <source>The new calibration is in use in this window, but it could not be kept: %1</source>
        <translation>The new calibration is in use in this window, but it could not be kept: %1</translation>
    </message>
    <message>
        <source>ms</source>
        <translation>ms</translation>
    </message>
    <message>
        <source>Pointer</source>
        <translation>Pointer</translation>
    </message>
    <message>
        <source>Trace at pointer</source>
        <translation>Trace at pointer</translation>
    </message>
    <message>
        <source>Loss step</source>
        <translation>Loss step</translation>
    </message>
    <message>
        <source>Forget the loss steps</source>
        <translation>Forget the loss steps</translation>
    </message>
    <message>
        <source>Load capacitance...</source>
        <translation>Load capacitance...</translation>
    </message>
    <message>
        <source>There is no whole trace to store: sweep first, or open a chart.</source>
        <translation>There is no whole trace to store: sweep first, or open a chart.</translation>
    </message>
    <message>
        <source>External signal (generator off)</source>
        <translation>External signal (generator off)</translation>
    </message>
    <message>
        <source>Span and levels as set (double-click)</source>
        <translation>Span and levels as set (double-click)</translation>
    </message>
    <message>
        <source>Sweep this view</source>
        <translation>Sweep this view</translation>
    </message>
    <message>
        <source>The span and levels shown become the sweep&apos;s, and it runs</source>
        <translation>The span and levels shown become the sweep&apos;s, and it runs</translation>
    </message>
    <message>
        <source>the power meter stores .pwm charts and its CSV exports.</source>
        <translation>the power meter stores .pwm charts and its CSV exports.</translation>
    </message>
</context>
<context>
    <name>kolm::print::ui::PrintDialog</name>
    <message>
        <source>Print Diagrams</source>
        <translation>Print Diagrams</translation>
    </message>
    <message>
        <source>Printer</source>
        <translation>Printer</translation>
    </message>
    <message>
        <source>Properties</source>
        <translation>Properties</translation>
    </message>
    <message>
        <source>Layout</source>
        <translation>Layout</translation>
    </message>
    <message>
        <source>Printing...</source>
        <translation>Printing...</translation>
    </message>
    <message>
        <source>Margins in mm</source>
        <translation>Margins in mm</translation>
    </message>
    <message>
        <source>Center Print</source>
        <translation>Center Print</translation>
    </message>
    <message>
        <source>Imposta i margini a 0 </source>
        <translation>Set the margins to 0</translation>
    </message>
    <message>
        <source>Dimensions in mm</source>
        <translation>Dimensions in mm</translation>
    </message>
    <message>
        <source>&amp;Fix Dimensions</source>
        <translation>&amp;Fix Dimensions</translation>
    </message>
    <message>
        <source>M a x</source>
        <translation>M a x</translation>
    </message>
    <message>
        <source>Usa tutto il foglio </source>
        <translation>Use the whole sheet</translation>
    </message>
    <message>
        <source>OK o Invio per confermare </source>
        <translation>OK or Enter to confirm</translation>
    </message>
    <message>
        <source>Print</source>
        <translation>Print</translation>
    </message>
    <message>
        <source>&amp;OK</source>
        <translation>&amp;OK</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>Exit </source>
        <translation>Close</translation>
    </message>
    <message>
        <source>&amp;Name:</source>
        <translation>&amp;Name:</translation>
    </message>
    <message>
        <source>Widtht:</source>
        <translation>Width:</translation>
    </message>
    <message>
        <source>[mm]</source>
        <translation>[mm]</translation>
    </message>
    <message>
        <source>Height:</source>
        <translation>Height:</translation>
    </message>
    <message>
        <source>Out of Layout</source>
        <translation>Out of Layout</translation>
    </message>
    <message>
        <source>L&amp;eft:</source>
        <translation>L&amp;eft:</translation>
    </message>
    <message>
        <source>T&amp;op:</source>
        <translation>T&amp;op:</translation>
    </message>
    <message>
        <source>Width:</source>
        <translation>Width:</translation>
    </message>
    <message>
        <source>Sca&amp;le:</source>
        <translation>Sca&amp;le:</translation>
    </message>
    <message>
        <source>1 :  </source>
        <translation>1 :</translation>
    </message>
    <message>
        <source>N. &amp;of copies:</source>
        <translation>N. &amp;of copies:</translation>
    </message>
    <message>
        <source> Print Preview </source>
        <translation>Print preview</translation>
    </message>
    <message>
        <source>Chart only</source>
        <translation>Chart only</translation>
    </message>
    <message>
        <source>The chart alone, drawn as lines and text, under a line that says what it shows</source>
        <translation>The chart alone, drawn as lines and text, under a line that says what it shows</translation>
    </message>
</context>
<context>
    <name>kolm::print::ui::PrinterPropertiesDialog</name>
    <message>
        <source>Properties: </source>
        <translation>Properties: </translation>
    </message>
</context>
<context>
    <name>status</name>
    <message>
        <source>Sweep stopped at point %1 of %2</source>
        <translation>Sweep stopped at point %1 of %2</translation>
    </message>
    <message>
        <source>Pass done in %1 ms</source>
        <translation>Pass done in %1 ms</translation>
    </message>
    <message>
        <source>Pass done in %1 s</source>
        <translation>Pass done in %1 s</translation>
    </message>
    <message>
        <source>Saved to %1</source>
        <translation>Saved to %1</translation>
    </message>
    <message>
        <source>PDF written to %1</source>
        <translation>PDF written to %1</translation>
    </message>
</context>
</TS>
