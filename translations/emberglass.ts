<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1">
<context>
    <name>CoreTexts</name>
    <message>
        <source>New Chat</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Using tools...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ollama is not running or qwen model not found. Please install and start Ollama, then run: ollama pull qwen2.5:3b</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Starting download...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Model ready!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Failed to pull model. Is Ollama installed?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ollama not found. Install from ollama.com</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cannot listen on port %1 (is it in use?)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The conversation is no longer there.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Waiting for %1 (rate limit)…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Earlier messages were left out to fit %1&apos;s context</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>new file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>replaces a file of %1 bytes</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>This file has other names too (hard links: %1 more); writing changes it under every name.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>InspectorTexts</name>
    <message>
        <source>Close panel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Escape</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The address to open in the phone&apos;s browser</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cloud provider</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Memory files</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Model settings</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ctrl+S saves, Ctrl+Tab moves on</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ctrl+Tab moves on</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Chat from your phone on the same Wi‑Fi. Messages sync to this computer.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>START SERVER</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>STOP SERVER</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>OPEN ON PHONE</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>HOW IT WORKS</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Local network only — not on the public internet</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>MODEL SETTINGS</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Configure AI provider</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>MODE</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>PROVIDER</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>API CONFIGURATION</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>API Key</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Enter your API key</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Model</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Model name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Type a model name, or choose one the provider offers with Up and Down</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ask the provider for its models</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The models it offers become the field&apos;s choices</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Base URL</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>API base URL</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>TEST CONNECTION</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Connected</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>LOCAL MODEL</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Qwen 2.5 — 3B via Ollama</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Requires Ollama running · ollama pull qwen2.5:3b</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>SETUP LOCAL MODEL</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>DOWNLOADING...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Model ready!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>LOADING MODEL...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>HOW TO SET UP</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>SAFETY</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ask before the agent runs commands or changes files</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Each command, and each file written outside ~/.nimbrook, waits for your Allow. Off, the agent acts unattended.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Run commands in a sandbox</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Commands see the system read-only, may write only in your home folder and a private /tmp, and find keys, tokens and browser profiles empty.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>UNSAVED</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>SAVED</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>SAVE</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>BACK</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>REFRESH</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>OPEN FOLDER</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No memory logs yet</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The AI will create daily logs and topic files
as it learns about you.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>.md</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>SAVE ANYWAY</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>QR code for the phone address</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The phone&apos;s camera opens the address, key included</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>REPLIES</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Show replies formatted</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The agent&apos;s headings, lists, tables, links and code are drawn as such, code with a Copy code button. Off, replies show exactly as written.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>CONVERSATIONS</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Keep conversations on this computer</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Delete</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Keep the file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>These conversations were kept by a newer version of Emberglass: they are shown but not changed, and new ones are kept in memory only.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Show replies as they are written</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The reply grows as the model writes it, and &quot;Thinking…&quot; counts the seconds while it only reasons. Off, each reply shows once it is whole.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The stored conversations were not deleted: %1. They are still in %2.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 is not offered by %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Every conversation is saved as it changes, in %1, and listed again at the next start. Off, they end when the app quits.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Delete the %1 stored conversations?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Not available: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>SOUL</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>MEMORY</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>LOGS</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 is not valid UTF-8: the bytes that are not show as �, and saving replaces them.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 is larger than 256 KiB: the agent sees only its first 256 KiB.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 changed on disk while you were editing it.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Saving replaces %1 as it is on disk now. Press SAVE ANYWAY to replace it.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Could not save: %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ModelTexts</name>
    <message>
        <source>API error: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The model stopped before it answered (it reached its output limit)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The provider withheld the answer (content filter)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The model sent an empty answer</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The model called a tool without a readable name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The model&apos;s call of %1 could not be read (its arguments are not a JSON object)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The server did not answer with a model list (%1)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No API key is set</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cloud API returned an error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 (the provider asks to wait %2 s before trying again)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ollama is not running. Please start Ollama first.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The local model %1 is not installed. Press SETUP LOCAL MODEL or run: ollama pull %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ollama error: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Text generation failed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The request timed out</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The base URL is not a valid web address (http:// or https://)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The server&apos;s answer is not JSON (%1): %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>no content type</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The response is incomplete (%1)</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>OnboardingQuestions</name>
    <message>
        <source>Let&apos;s create your AI agent. Give your AI agent a name.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>What gender should your agent present as? (e.g. female, male, neutral...)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>What age or era vibe? (e.g. 20s, timeless, ancient...)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>What should your agent be good at? (e.g. coding, writing, research...)</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>OnboardingTexts</name>
    <message>
        <source>EMBERGLASS</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>YOUR ULTIMATE AGENT</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>GET STARTED</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>CONNECT YOUR AI</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Choose a cloud provider or use local Qwen model</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Enter your API key to continue with a cloud model, or skip for now.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>NEXT</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>SKIP FOR NOW</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>CREATE YOUR AGENT</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Define your AI&apos;s personality</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Emberglass</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Type here...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Or paste a soul from Tidewick</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>YOUR AGENT</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>You can always edit this later in the Persona panel.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ENTER EMBERGLASS</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>PASTE YOUR SOUL</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Paste the contents of a soul.md file from Tidewick or elsewhere.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>BACK</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Your answer</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Return sends the answer</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Send answer</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Questions and answers</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>soul.md</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ctrl+Tab moves on</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>You</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>PersonaTexts</name>
    <message>
        <source>the file on disk cannot be read, so its text could not be shown here; it was left as it is</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the file on disk is not UTF-8 text, so its text could not be shown here; it was left as it is</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Texts</name>
    <message>
        <source>EMBERGLASS</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>YOUR AI AGENT</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>AI TERMINAL</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>SESSIONS</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>+ NEW</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>New Session</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Delete</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Local</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>YOU</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>AI</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>RESULT</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ch</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ask anything...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Local model not available</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cannot reach API — check settings</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>LOADING MODEL</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>v1.0</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>SYS.INIT</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>NEURAL.LINK</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>AWAITING INPUT</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ABOUT PRODUCT</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Emberglass</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Industrial local-and-cloud AI workspace for Linux.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>VERSION</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>1.0 beta</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Made by the Emberglass project, for people who keep their agent close.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>emberglass.app</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>https://emberglass.app</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sessions and panels</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sessions</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Starts an empty conversation, Ctrl+N</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Updated </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>server running</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Messages</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Message</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Return sends, Shift+Return starts a new line, Ctrl+L comes back here</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Send</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Stop</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sends the message</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Stops the reply being written</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>You</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Note</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Not sent to the model</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Your message</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Reply from the agent</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The agent is writing</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Tool call: </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Result of </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>succeeded</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>failed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> characters</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Shows the output</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Hides the output</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Output</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>RETRY</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Asks the question again</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>OPEN MODEL SETTINGS</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Opens the MODEL panel, where the provider, key and model are set</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Empty conversation</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>done</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>waiting</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Opens the web site in the browser</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>wants to run this command</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>wants to write this file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Command: </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>File: </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Content begins: </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Allow</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Allow for this conversation</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Runs this tool without asking until the conversation ends</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Deny</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Declines the call; Escape does too</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Attach files</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Chooses files whose paths go into the message, for the agent to read</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ctrl+O</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Attach files (Ctrl+O)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Drop to add the paths to your message</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Copy code</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Copied</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Code</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Open this link?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>It is not a web page: it may open a file or start a program.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Open</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Copy message</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ctrl+C</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Edit and resend</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ctrl+E</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Regenerate</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ctrl+R</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Message actions</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Rename</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Export as Markdown…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Search</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Search conversations</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Filters the sessions by title and message text, Ctrl+F; Escape clears</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No conversation matches</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Undo</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Brings the conversation back, Ctrl+Z</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Export as Markdown</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Markdown (*.md)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Conversation title</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Return keeps the new title, Escape keeps the old one</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Arrow keys select, F2 renames, Delete deletes, Ctrl+N starts a new session</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Thinking… %1 s</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Deleted “%1” —</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Exported to %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Could not export: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Model %1 is not offered by %2 — choose one in MODEL</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Could not save settings: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Could not use %1: %2. Nothing in it was changed or deleted; conversations are kept in memory only.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Scroll %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Approval needed: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Writes to: %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
