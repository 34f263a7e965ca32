@echo off
rem Starts Tarvenix from the folder of this file (tarvctl -r opens it).
cd /d "%~dp0"
start "" "%~dp0Tarvenix.exe" %*
