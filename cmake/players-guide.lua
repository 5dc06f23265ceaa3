-- Shapes README's players' part for a reader in a plain editor (Notepad): headings stand
-- out, underlined; each table becomes a list, a row's first cell followed by each other cell
-- under its column's heading, so that no line runs past the page.
local stringify = pandoc.utils.stringify

function Header(header)
  local text = stringify(header.content)
  local rule = header.level <= 2 and "=" or "-"
  return pandoc.RawBlock("plain", text .. "\n" .. string.rep(rule, #text))
end

function Table(table)
  local headings = {}
  for i, cell in ipairs(table.head.rows[1].cells) do headings[i] = stringify(cell.contents) end
  local items = {}
  for _, body in ipairs(table.bodies) do
    for _, row in ipairs(body.body) do
      local term = pandoc.utils.blocks_to_inlines(row.cells[1].contents)
      local lines = {}
      for i = 2, #row.cells do
        local content = pandoc.utils.blocks_to_inlines(row.cells[i].contents)
        if #content > 0 then
          local line = pandoc.List({pandoc.Str(headings[i] .. ":"), pandoc.Space()})
          line:extend(content)
          lines[#lines + 1] = pandoc.Para(line)
        end
      end
      items[#items + 1] = {term, {lines}}
    end
  end
  return pandoc.DefinitionList(items)
end
